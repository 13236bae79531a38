#pragma once
// Where things stand in a package: the base folder holds exe/ with the programs and mdb/ with the
// database KIV.mdb. Every path of the package is built here.

#include <QString>
#include <optional>

namespace kiv::store {

inline constexpr const char* kMenuProgram = "Kiv0000P1";
inline constexpr const char* kWindowProgram = "Kiv2200P1";
inline constexpr const char* kCommandLineProgram = "kiv2200";

QString databaseFolder(const QString& baseFolder);  // BASE/mdb
QString databasePath(const QString& baseFolder);    // BASE/mdb/KIV.mdb
QString programFolder(const QString& baseFolder);   // BASE/exe

// The program's own folder less its last four characters (its "/exe"); nothing when the folder
// is shorter than that.
std::optional<QString> baseFolderOf(const QString& programFolder);

// A program's file name on this system (with ".exe" on Windows).
QString programFileName(const QString& programName);
// A program of the package: BASE/exe/<file name>.
QString packageProgramPath(const QString& baseFolder, const QString& programName);

}  // namespace kiv::store
