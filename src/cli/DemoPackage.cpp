#include "DemoPackage.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include "Connection.h"
#include "DemoSchool.h"
#include "Failure.h"
#include "LaunchFields.h"
#include "Schema.h"

namespace kiv::demo {

namespace {

const char* const kPrograms[] = {"Kiv2200P1", "kiv2200", "Kiv0000P1"};

bool copyPrograms(const QString& baseFolder, const QString& programFolder, QString* error) {
    const QString exe = baseFolder + "/exe";
    if (!QDir().mkpath(exe)) {
        *error = "cannot create " + exe;
        return false;
    }
    for (const char* name : kPrograms) {
        const QString from = programFolder + "/" + kiv::shell::programFileName(name);
        const QString to = kiv::shell::packageProgramPath(baseFolder, name);
        if (QFileInfo(from).canonicalFilePath() == QFileInfo(to).canonicalFilePath() &&
            QFileInfo::exists(to)) {
            continue;  // already in place: the package is being laid out where it runs
        }
        QFile::remove(to);
        if (!QFile::copy(from, to)) {
            *error = QString("cannot copy %1 to %2").arg(from, to);
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<DemoSummary> layOutDemoPackage(const QString& baseFolder, const QString& programFolder,
                                             const DemoOptions& options, QString* error) {
    QElapsedTimer timer;
    timer.start();
    if (!kiv::store::initDatabase(baseFolder, error)) {
        return std::nullopt;
    }
    if (!copyPrograms(baseFolder, programFolder, error)) {
        return std::nullopt;
    }
    SchoolShape shape;
    shape.students = options.students;
    shape.seed = options.seed;
    SchoolCounts counts;
    try {
        counts = writeSchool(baseFolder, shape);
    } catch (const kiv::store::Failure& f) {
        *error = f.description();
        return std::nullopt;
    }
    DemoSummary s;
    const QString base = QDir(baseFolder).absolutePath();
    s.report = QString("demo package in %1 (%2 s)\n"
                       "  programs: %1/exe/Kiv2200P1, Kiv0000P1, kiv2200\n"
                       "  database: %1/mdb/KIV.mdb: %3 students (%4 active) in %5 classes, "
                       "5 payment groups, %6 statuses\n"
                       "  start:    %1/exe/Kiv2200P1 a/b/c\n")
                   .arg(base)
                   .arg(timer.elapsed() / 1000.0, 0, 'f', 1)
                   .arg(counts.students)
                   .arg(counts.activeStudents)
                   .arg(counts.classes)
                   .arg(counts.statuses);
    return s;
}

}  // namespace kiv::demo
