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
CommandLine splitCommandLine(const QString& commandLine);

}  // namespace kiv::commands
