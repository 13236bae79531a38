#include "cli/ReportCommand.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QStorageInfo>
#include <functional>
#include <optional>

#include "cli/CliCommon.h"
#include "commands/BatchReports.h"
#include "commands/DateForms.h"
#include "report/BatchReport.h"
#include "report/ReportCsv.h"
#include "report/ReportPdf.h"
#include "report/ReportText.h"

namespace kiv::cli {

namespace {

// Writes the file through a temporary one renamed over it: a failure leaves what was there
// before. Answers the reason of a failure, or nothing.
QString writeWhole(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    // Qt's save file can take a write refused by a full disk for done and commit an empty file:
    // the write is flushed and checked before the commit, and the file's size after it.
    bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
                   file.flush() && file.commit();
    if (written && QFileInfo(path).size() != bytes.size()) {
        QFile::remove(path);
        written = false;
    }
    if (written) {
        return {};
    }
    // A full disk often fails with no reason that Qt can give.
    const QStorageInfo disk(QFileInfo(path).absolutePath());
    if (disk.isValid() && disk.bytesAvailable() < bytes.size()) {
        return QStringLiteral("磁碟已滿，無法寫入 (%1)").arg(file.errorString());
    }
    return file.errorString();
}

// The options of report; an empty text when they are valid.
QString readReportOptions(const QStringList& args, Options& o, QDate& day, qint64& group) {
    o = parseOptions(args, {"--date", "--group", "--pdf", "--csv"}, {});
    if (!o.error.isEmpty()) {
        return o.error;
    }
    for (const QString& error : {readDateOption(o, "--date", day), readGroupOption(o, group)}) {
        if (!error.isEmpty()) {
            return error;
        }
    }
    if (o.values.contains("--pdf") && o.values.contains("--csv") &&
        QFileInfo(o.values["--pdf"]).absoluteFilePath() ==
            QFileInfo(o.values["--csv"]).absoluteFilePath()) {
        return "--pdf and --csv name the same file";
    }
    return {};
}

}  // namespace

int reportCommand(const QString& base, const QStringList& args, Streams s) {
    Options o;
    QDate day;
    qint64 group = 0;
    if (const QString error = readReportOptions(args, o, day, group); !error.isEmpty()) {
        return usageError(s, error);
    }
    const bool pdf = o.values.contains("--pdf");
    const bool csv = o.values.contains("--csv");
    if (pdf && !qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        s.err << "kiv2200: the PDF is drawn with fonts, which this program was started without\n";
        return kStopped;
    }
    if (reportMissingDatabase(base, s)) {
        return kStopped;
    }
    const kiv::commands::ReportRead read = kiv::commands::readReport(base, day, group);
    if (!read.failure.isEmpty()) {
        s.err << "kiv2200: " << read.failure << "\n";
        return kStopped;
    }
    const std::optional<kiv::report::BatchReport>& report = read.report;
    if (!report) {
        s.err << "kiv2200: group " << group << " has no batch on "
              << kiv::commands::rocDateText(day) << " (" << kiv::commands::isoDate(day) << ")\n";
        return kStopped;
    }
    if (!pdf && !csv) {
        const QStringList lines = kiv::report::headerLines(report->header) + QStringList{""} +
                                  kiv::report::totalLines(report->totals);
        for (const QString& line : lines) {
            s.out << line << "\n";
        }
        return kOk;
    }
    const std::pair<const char*, std::function<QByteArray()>> files[] = {
        {"--csv", [&] { return kiv::report::reportCsv(*report); }},
        {"--pdf", [&] { return kiv::report::reportPdf(*report); }}};
    for (const auto& [option, bytes] : files) {
        if (!o.values.contains(option)) {
            continue;
        }
        const QString path = o.values[option];
        if (const QString error = writeWhole(path, bytes()); !error.isEmpty()) {
            s.err << "kiv2200: cannot write " << path << ": " << error << "\n";
            return kStopped;
        }
        s.out << "wrote " << path << "\n";
    }
    return kOk;
}

}  // namespace kiv::cli
