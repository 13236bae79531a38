#pragma once
// The three fields that the menu program hands over on the command line, and the base folder
// of the package. Set once at start-up and only carried: their meaning belongs to the menu
// program, to which every exit hands them back unchanged.

#include <QString>
#include <optional>

namespace kiv::commands {

struct LaunchFields {
    QString command;  // the command line as received, arguments only
    QString arg1;
    QString arg2;
    QString arg3;

    // The single argument handed back to the menu program: "a/b/c".
    QString handBack() const { return arg1 + "/" + arg2 + "/" + arg3; }
};

struct CommandLine {
    enum class Outcome {
        Empty,      // nothing given: the program ends at once, silently
        Malformed,  // fewer than two "/": a start-up failure
        Ok,
    };
    Outcome outcome = Outcome::Empty;
    LaunchFields fields;
};

// Splits the command line into its three fields; anything after a third "/" is ignored.
CommandLine get_Command(const QString& commandLine);

// The package's base folder: the program's own folder less its last four characters ("/exe").
// None when the folder's path is shorter than four characters.
std::optional<QString> baseFolderOf(const QString& programFolder);

// A program's file name: NAME, with ".exe" only on Windows.
QString programFileName(const QString& programName);

// Where a program of the package lives: BASE/exe/NAME (with ".exe" only on Windows).
QString packageProgramPath(const QString& baseFolder, const QString& programName);

}  // namespace kiv::commands
