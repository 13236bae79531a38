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
#include "screen/Texts.h"

namespace kiv::cli {

namespace {

// The file name that stands for standard output.
const QString kStandardOutput = QStringLiteral("-");

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
        return Texts::tr("the disk is full (%1)").arg(file.errorString());
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
    if (o.values.value("--pdf") == kStandardOutput && o.values.value("--csv") == kStandardOutput) {
        return Texts::tr("only one of --pdf and --csv can write to standard output (-)");
    }
    if (o.values.contains("--pdf") && o.values.contains("--csv") &&
        QFileInfo(o.values["--pdf"]).absoluteFilePath() ==
            QFileInfo(o.values["--csv"]).absoluteFilePath()) {
        return Texts::tr("--pdf and --csv name the same file");
    }
    return {};
}

// The file on standard output, which holds nothing else. A stream on a string, which has no
// device, takes each byte as the character of that code: its toLatin1() gives the bytes back.
// Answers the reason of a failure, or nothing.
QString writeToOutput(QTextStream& out, const QByteArray& bytes) {
    out.flush();
    QIODevice* device = out.device();
    if (!device) {
        out << QString::fromLatin1(bytes);
        return {};
    }
    auto* file = qobject_cast<QFileDevice*>(device);
    if (device->write(bytes) != bytes.size() || (file && !file->flush())) {
        return device->errorString();
    }
    return {};
}

QString wroteText(const QString& option, const QString& path) {
    if (path != kStandardOutput) {
        return Texts::tr("wrote %1").arg(path);
    }
    return option == "--pdf" ? Texts::tr("wrote the PDF to standard output")
                             : Texts::tr("wrote the CSV to standard output");
}

QString notWrittenText(const QString& option, const QString& path, const QString& error) {
    if (path != kStandardOutput) {
        return Texts::tr("cannot write %1: %2").arg(path, error);
    }
    return option == "--pdf" ? Texts::tr("cannot write the PDF to standard output: %1").arg(error)
                             : Texts::tr("cannot write the CSV to standard output: %1").arg(error);
}

// Writes the files that --csv and --pdf ask for, each named on `told` once it is written; stops
// at the first that cannot be.
int writeReportFiles(const kiv::report::BatchReport& report, const Options& o, Streams s,
                     QTextStream& told) {
    const std::pair<const char*, std::function<QByteArray()>> files[] = {
        {"--csv", [&] { return kiv::report::reportCsv(report); }},
        {"--pdf", [&] { return kiv::report::reportPdf(report); }}};
    for (const auto& [option, bytes] : files) {
        if (!o.values.contains(option)) {
            continue;
        }
        const QString path = o.values[option];
        const QString error =
            path == kStandardOutput ? writeToOutput(s.out, bytes()) : writeWhole(path, bytes());
        if (!error.isEmpty()) {
            s.err << "kiv2200: " << notWrittenText(option, path, error) << "\n";
            return kStopped;
        }
        told << wroteText(option, path) << "\n";
    }
    return kOk;
}

}  // namespace

int reportCommand(const QString& base, const QStringList& args, Streams s) {
    Options o;
    QDate day;
    qint64 group = 0;
    if (const QString error = readReportOptions(args, o, day, group); !error.isEmpty()) {
        return usageError(s, error);
    }
    if (o.values.contains("--pdf") &&
        !qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        s.err << "kiv2200: "
              << Texts::tr("the PDF is drawn with fonts, which this program was started without")
              << "\n";
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
        s.err << "kiv2200: "
              << Texts::tr("group %1 has no batch on %2")
                     .arg(group)
                     .arg(kiv::commands::rocAndIsoText(day))
              << "\n";
        return kStopped;
    }
    // With a file on standard output, the summary and the files written are told on standard
    // error.
    const bool fileOnOutput =
        o.values.value("--pdf") == kStandardOutput || o.values.value("--csv") == kStandardOutput;
    QTextStream& told = fileOnOutput ? s.err : s.out;
    const QStringList lines = kiv::report::headerLines(report->header) + QStringList{""} +
                              kiv::report::totalLines(report->totals);
    for (const QString& line : lines) {
        told << line << "\n";
    }
    told.flush();  // before a file that may take long, or whose reader may stop reading
    return writeReportFiles(*report, o, s, told);
}

}  // namespace kiv::cli
