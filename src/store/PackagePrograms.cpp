#include "store/PackagePrograms.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "store/PackageDatabase.h"
#include "store/PackagePaths.h"
#include "store/Schema.h"

namespace kiv::store {

namespace {

const char* const kPrograms[] = {kWindowProgram, kCommandLineProgram, kMenuProgram};

QString programIn(const QString& folder, const char* name) {
    return folder + "/" + programFileName(name);
}

}  // namespace

bool holdsPrograms(const QString& folder) {
    for (const char* name : kPrograms) {
        if (!QFileInfo(programIn(folder, name)).isExecutable()) {
            return false;
        }
    }
    return true;
}

// Its texts name their context: lupdate does not follow this signature's qualified names.
database::Result copyPrograms(const QString& baseFolder, const QString& fromFolder) {
    const QString exe = programFolder(baseFolder);
    if (!QDir().mkpath(exe)) {
        return database::Result::failed(
            QCoreApplication::translate("kiv2200", "cannot create %1").arg(exe));
    }
    for (const char* name : kPrograms) {
        const QString from = programIn(fromFolder, name);
        const QString to = packageProgramPath(baseFolder, name);
        if (QFileInfo(from).canonicalFilePath() == QFileInfo(to).canonicalFilePath() &&
            QFileInfo::exists(to)) {
            continue;  // already in place: the package is being laid out where it runs
        }
        QFile::remove(to);
        if (!QFile::copy(from, to)) {
            return database::Result::failed(
                QCoreApplication::translate("kiv2200", "cannot copy %1 to %2").arg(from, to));
        }
    }
    return {};
}

database::Result initPackage(const QString& baseFolder, const QString& fromFolder) {
    database::Result made = initDatabase(baseFolder);
    if (!made.ok) {
        return made;
    }
    made = copyPrograms(baseFolder, fromFolder);
    if (!made.ok && !readServerSettings(baseFolder)) {
        QFile::remove(databasePath(baseFolder));
    }
    return made;
}

}  // namespace kiv::store
