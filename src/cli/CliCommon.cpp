#include "cli/CliCommon.h"

#include <QCommandLineParser>

#include "commands/OtherWorkstations.h"
#include "commands/PackageSetup.h"

namespace kiv::cli {

namespace {
const char* const kMoreHelp = "kiv2200 --help for more";

}  // namespace

Options parseOptions(const QStringList& args, const QStringList& valueNames,
                     const QStringList& flagNames, int arguments) {
    Options o;
    QCommandLineParser parser;
    for (const QString& name : valueNames) {
        parser.addOption(QCommandLineOption(name.mid(2), QString(), QStringLiteral("value")));
    }
    for (const QString& name : flagNames) {
        parser.addOption(QCommandLineOption(name.mid(2)));
    }
    // The parser would take the next option for the value.
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (valueNames.contains(args[i]) &&
            (i + 1 >= args.size() || args[i + 1].startsWith("--"))) {
            o.error = args[i] + " needs a value";
            return o;
        }
    }
    if (!parser.parse(QStringList{QStringLiteral("kiv2200")} + args)) {
        const QStringList unknown = parser.unknownOptionNames();
        o.error = unknown.isEmpty() ? parser.errorText()
                                    : "unknown option " +
                                          QString(unknown[0].size() == 1 ? "-" : "--") + unknown[0];
        return o;
    }
    for (const QString& name : valueNames) {
        if (parser.isSet(name.mid(2))) {
            o.values[name] = parser.value(name.mid(2));
        }
    }
    for (const QString& name : flagNames) {
        if (parser.isSet(name.mid(2))) {
            o.flags << name;
        }
    }
    o.arguments = parser.positionalArguments();
    if (o.arguments.size() > arguments) {
        o.error = "unknown option " + o.arguments[arguments];
    }
    return o;
}

int usageError(Streams s, const QString& what) {
    s.err << "kiv2200: " << what << "\n" << kMoreHelp << "\n";
    s.err.flush();
    return kUsage;
}

// A date as 2026-12-20, 2026/12/20 or the lists' own Republic-of-China form 115/12/20.
QDate parseDate(const QString& text) {
    for (const char* format : {"yyyy-MM-dd", "yyyy/MM/dd"}) {
        const QDate d = QDate::fromString(text, QString::fromLatin1(format));
        if (d.isValid()) {
            return d;
        }
    }
    const QStringList parts = text.split('/');
    if (parts.size() == 3 && parts[0].size() <= 3 && parts[1].size() == 2 && parts[2].size() == 2) {
        bool y = false, m = false, d = false;
        const int year = parts[0].toInt(&y);
        const QDate roc(year + 1911, parts[1].toInt(&m), parts[2].toInt(&d));
        // The lists' years start at 1; a sign or a year 0 is no date of theirs.
        if (y && m && d && year >= 1 && !parts[0].startsWith('+') && roc.isValid()) {
            return roc;
        }
    }
    return {};
}

QString readDateOption(const Options& o, const QString& name, QDate& date) {
    if (!o.values.contains(name)) {
        return name + " is required";
    }
    date = parseDate(o.values[name]);
    return date.isValid() ? QString() : name + " takes a date as " + kDateForms;
}

QString readGroupOption(const Options& o, qint64& group) {
    if (!o.values.contains("--group")) {
        return QStringLiteral("--group is required");
    }
    bool ok = false;
    group = o.values["--group"].toLongLong(&ok);
    return ok ? QString() : QStringLiteral("--group takes a payment-group id");
}

kiv::commands::ListChoice chooseEntry(const kiv::commands::ListFill& list, const QString& key,
                                      Streams s, const QString& given) {
    QStringList held;
    for (const kiv::commands::ListEntry& e : list.entries) {
        if (e.key == key) {
            return {e.text, e.key};
        }
        held << (e.text + " (" + e.key + ")").trimmed();
    }
    if (list.status.ok) {
        s.err << "kiv2200: " << given << " matches no entry of the list, which holds "
              << (held.isEmpty() ? QStringLiteral("nothing") : held.join(", ")) << "\n";
        s.err.flush();  // before the tab's own message, which stays the last
    }
    return {key, std::nullopt};
}

bool reportMissingDatabase(const QString& base, Streams s) {
    const std::optional<QString> missing = kiv::commands::missingDatabaseFile(base);
    if (!missing) {
        return false;
    }
    s.err << "kiv2200: 找不到資料庫檔案 " << *missing
          << "。請以 kiv2200 init-db 建立空的資料庫、以 kiv2200 demo 建立示範套件，"
             "或以 --base 指定套件的資料夾。\n";
    return true;
}

kiv::commands::LockWait waitTold(Streams s) {
    kiv::commands::LockWait wait;
    wait.waiting = [err = &s.err, shown = -1](int seconds) mutable {
        if (seconds != shown) {
            *err << "kiv2200: " << kiv::commands::lockWaitText(seconds) << "\n";
            err->flush();
            shown = seconds;
        }
    };
    return wait;
}

}  // namespace kiv::cli
