#include "cli/Cli.h"

#include <functional>
#include <map>

#include "cli/BackupCommands.h"
#include "cli/BatchCommands.h"
#include "cli/CliCommon.h"
#include "cli/JournalCommands.h"
#include "cli/ListCommand.h"
#include "cli/MoveCommands.h"
#include "cli/ReportCommand.h"
#include "cli/SetupCommands.h"
#include "commands/PackageFolders.h"
#include "screen/Texts.h"

namespace kiv::cli {

namespace {

// What a command is run with: the base folder, its arguments, the streams, the program's folder
// and today.
struct Invocation {
    const QString& base;
    const QStringList& args;
    Streams s;
    const QString& programFolder;
    QDate today;
};

using CommandUnit = std::function<int(const Invocation&)>;

const std::map<QString, CommandUnit>& commandUnits() {
    static const std::map<QString, CommandUnit> units = [] {
        std::map<QString, CommandUnit> u;
        for (const char* batch : {"generate", "delete", "apply", "recollect"}) {
            u[batch] = [name = QString(batch)](const Invocation& i) {
                return batchCommand(name, i.base, i.args, i.s, i.today);
            };
        }
        u["init-db"] = [](const Invocation& i) {
            return initDbCommand(i.base, i.programFolder, i.args, i.s);
        };
        u["demo"] = [](const Invocation& i) {
            return demoCommand(i.base, i.programFolder, i.args, i.s, i.today);
        };
        u["list"] = [](const Invocation& i) { return listCommand(i.base, i.args, i.s); };
        u["report"] = [](const Invocation& i) { return reportCommand(i.base, i.args, i.s); };
        u["backups"] = [](const Invocation& i) { return backupsCommand(i.base, i.args, i.s); };
        u["restore"] = [](const Invocation& i) { return restoreCommand(i.base, i.args, i.s); };
        u["move-to-server"] = [](const Invocation& i) {
            return moveToServerCommand(i.base, i.args, i.s);
        };
        u["move-to-file"] = [](const Invocation& i) {
            return moveToFileCommand(i.base, i.args, i.s);
        };
        u["history"] = [](const Invocation& i) { return historyCommand(i.base, i.args, i.s); };
        u["undo"] = [](const Invocation& i) { return undoCommand(i.base, i.args, i.s, i.today); };
        return u;
    }();
    return units;
}

}  // namespace

int runCli(const QStringList& argsIn, const QString& programFolder, Streams s,
           const kiv::commands::Clock& clock) {
    QStringList args = argsIn;
    QString base;
    if (args.size() >= 2 && args[0] == "--base") {
        base = args[1];
        args = args.mid(2);
    } else if (const std::optional<QString> derived = kiv::commands::baseFolderOf(programFolder)) {
        base = *derived;
    }
    if (args.isEmpty()) {
        return usageError(s, Texts::tr("no command given"));
    }
    const QString command = args.takeFirst();
    if (command == "--help" || command == "-h" || command == "help") {
        s.out << usageText();
        return kOk;
    }
    if (command == "--version") {
        s.out << "kiv2200 " << KIV_VERSION << "\n";
        return kOk;
    }
    const auto unit = commandUnits().find(command);
    if (unit == commandUnits().end()) {
        return usageError(s, Texts::tr("unknown command %1").arg(command));
    }
    if (base.isEmpty()) {
        return usageError(s, Texts::tr("no base folder: give --base DIR"));
    }
    return unit->second({base, args, s, programFolder, clock.today()});
}

}  // namespace kiv::cli
