#include "commands/LaunchFields.h"

namespace kiv::commands {

CommandLine splitCommandLine(const QString& commandLine) {
    CommandLine out;
    if (commandLine.isEmpty()) {
        return out;
    }
    out.fields.command = commandLine;
    const qsizetype p1 = commandLine.indexOf(u'/');
    if (p1 < 0) {
        out.outcome = CommandLine::Outcome::Malformed;
        return out;
    }
    QString rest = commandLine.mid(p1 + 1);
    const qsizetype p2 = rest.indexOf(u'/');
    if (p2 < 0) {
        out.outcome = CommandLine::Outcome::Malformed;
        return out;
    }
    out.fields.arg1 = commandLine.left(p1);
    out.fields.arg2 = rest.left(p2);
    rest = rest.mid(p2 + 1);
    const qsizetype p3 = rest.indexOf(u'/');
    out.fields.arg3 = p3 < 0 ? rest : rest.left(p3);
    out.outcome = CommandLine::Outcome::Ok;
    return out;
}

}  // namespace kiv::commands
