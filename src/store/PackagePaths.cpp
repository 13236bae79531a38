#include "store/PackagePaths.h"

namespace kiv::store {

QString databaseFolder(const QString& baseFolder) {
    return baseFolder + "/mdb";
}

QString databasePath(const QString& baseFolder) {
    return databaseFolder(baseFolder) + "/KIV.mdb";
}

QString programFolder(const QString& baseFolder) {
    return baseFolder + "/exe";
}

std::optional<QString> baseFolderOf(const QString& programFolder) {
    if (programFolder.size() < 4) {
        return std::nullopt;
    }
    return programFolder.left(programFolder.size() - 4);
}

QString programFileName(const QString& programName) {
#ifdef Q_OS_WIN
    return programName + ".exe";
#else
    return programName;
#endif
}

QString packageProgramPath(const QString& baseFolder, const QString& programName) {
    return programFolder(baseFolder) + "/" + programFileName(programName);
}

}  // namespace kiv::store
