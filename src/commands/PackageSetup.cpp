#include "commands/PackageSetup.h"

#include <QFileInfo>

#include "database/Failure.h"
#include "store/PackageDatabase.h"
#include "store/PackagePaths.h"
#include "store/PackagePrograms.h"
#include "store/Schema.h"

namespace kiv::commands {

Result initDatabase(const QString& baseFolder, const QString& programFolder) {
    if (store::holdsPrograms(programFolder)) {
        return store::initPackage(baseFolder, programFolder);
    }
    return store::initDatabase(baseFolder);
}

DemoSummary layOutDemo(const QString& baseFolder, const QString& programFolder,
                       const DemoOptions& options) {
    return demo::layOutDemoPackage(baseFolder, programFolder, options);
}

QString databaseDescription(const QString& baseFolder) {
    try {
        return store::databaseLocation(baseFolder);
    } catch (const database::Failure& f) {
        return f.description();
    }
}

std::optional<QString> missingDatabaseFile(const QString& baseFolder) {
    const QString file = store::databasePath(baseFolder);
    if (QFileInfo::exists(file) || serverOf(baseFolder)) {
        return std::nullopt;
    }
    QString problem;
    serverOf(baseFolder, &problem);
    return problem.isEmpty() ? std::optional(file) : std::nullopt;
}

std::optional<QString> serverOf(const QString& baseFolder, QString* problem) {
    try {
        if (const std::optional<database::ServerSettings> s =
                store::readServerSettings(baseFolder)) {
            return s->describe();
        }
    } catch (const database::Failure& f) {
        if (problem) {
            *problem = f.description();
        }
    }
    return std::nullopt;
}

}  // namespace kiv::commands
