#include "cli/MoveCommands.h"

#include <QElapsedTimer>

#include "cli/CliCommon.h"
#include "commands/DatabaseMoves.h"
#include "screen/Texts.h"

namespace kiv::cli {

namespace {

// The table being copied and its rows so far, on standard error at most once a second.
kiv::commands::MoveProgress progressTold(Streams s, bool quiet) {
    if (quiet) {
        return {};
    }
    auto since = std::make_shared<QElapsedTimer>();
    auto table = std::make_shared<QString>();
    return [s, since, table](const QString& name, qint64 rows) {
        if (name != *table || !since->isValid() || since->elapsed() >= 1000) {
            s.err << "kiv2200: " << name << " " << rows << "\n";
            s.err.flush();
            *table = name;
            since->start();
        }
    };
}

int told(const kiv::commands::MoveReport& r, Streams s) {
    for (const kiv::commands::MovedTable& t : r.tables) {
        s.out << t.name << "\t" << Texts::tr("%1 rows %2").arg(t.rowsFrom).arg(t.digestFrom) << "\t"
              << Texts::tr("%1 rows %2").arg(t.rowsTo).arg(t.digestTo) << "\t"
              << (t.same() ? Texts::tr("same") : Texts::tr("DIFFERENT")) << "\n";
    }
    if (!r.failure.isEmpty()) {
        s.out << r.failure << "\n";
        return kStopped;
    }
    return kOk;
}

}  // namespace

int moveToServerCommand(const QString& base, const QStringList& args, Streams s) {
    const Options o = parseOptions(args, {"--host", "--port", "--database", "--user"}, {"--quiet"});
    if (!o.error.isEmpty()) {
        return usageError(s, o.error);
    }
    for (const char* required : {"--host", "--database"}) {
        if (!o.values.contains(required)) {
            return usageError(s, Texts::tr("%1 is required").arg(required));
        }
    }
    kiv::commands::ServerSettings target{o.values["--host"], 0, o.values["--database"],
                                         o.values.value("--user")};
    if (o.values.contains("--port")) {
        bool ok = false;
        target.port = o.values["--port"].toInt(&ok);
        if (!ok || target.port < 1 || target.port > 65535) {
            return usageError(s, Texts::tr("--port takes a port number from 1 to 65535"));
        }
    }
    const kiv::commands::MoveReport r = kiv::commands::moveToServer(
        base, target, waitTold(s), progressTold(s, o.flags.contains("--quiet")));
    if (told(r, s) != kOk) {
        return kStopped;
    }
    s.out << Texts::tr(
                 "The database is on the server %1 now; KIV.ini names it. The file is set "
                 "aside as %2.")
                 .arg(r.server, r.file)
          << "\n";
    return kOk;
}

int moveToFileCommand(const QString& base, const QStringList& args, Streams s) {
    const Options o = parseOptions(args, {}, {"--quiet"});
    if (!o.error.isEmpty()) {
        return usageError(s, o.error);
    }
    const kiv::commands::MoveReport r =
        kiv::commands::moveToFile(base, waitTold(s), progressTold(s, o.flags.contains("--quiet")));
    if (told(r, s) != kOk) {
        return kStopped;
    }
    s.out << Texts::tr(
                 "The database is in %1 now; KIV.ini names no server. The server %2 keeps "
                 "its copy of the data as it is.")
                 .arg(r.file, r.server)
          << "\n";
    return kOk;
}

}  // namespace kiv::cli
