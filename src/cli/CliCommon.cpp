#include "cli/CliCommon.h"

#include <QCommandLineParser>

#include "commands/DateForms.h"
#include "commands/OtherWorkstations.h"
#include "commands/PackageSetup.h"
#include "screen/Texts.h"

namespace kiv::cli {

namespace {

// An entry as a list that matched nothing names it: a date list's entry (whose key is its date)
// as the date in the lists' form with ISO beside it, any other as its text and key.
QString heldEntryText(const kiv::commands::ListEntry& e) {
    const QDate day = kiv::commands::dateFromCollectionText(e.key);
    return day.isValid() ? kiv::commands::rocAndIsoText(day)
                         : (e.text + " (" + e.key + ")").trimmed();
}

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
            o.error = Texts::tr("%1 needs a value").arg(args[i]);
            return o;
        }
    }
    if (!parser.parse(QStringList{QStringLiteral("kiv2200")} + args)) {
        const QStringList unknown = parser.unknownOptionNames();
        o.error = unknown.isEmpty()
                      ? parser.errorText()
                      : Texts::tr("unknown option %1")
                            .arg(QString(unknown[0].size() == 1 ? "-" : "--") + unknown[0]);
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
        o.error = Texts::tr("unknown option %1").arg(o.arguments[arguments]);
    }
    return o;
}

int usageError(Streams s, const QString& what) {
    s.err << "kiv2200: " << what << "\n" << Texts::tr("kiv2200 --help for more") << "\n";
    s.err.flush();
    return kUsage;
}

QString readDateOption(const Options& o, const QString& name, QDate& date) {
    if (!o.values.contains(name)) {
        return Texts::tr("%1 is required").arg(name);
    }
    const kiv::commands::DateReading reading = kiv::commands::readTypedDate(o.values[name]);
    date = reading.date;
    return reading.problem.isEmpty()
               ? QString()
               : QStringLiteral("%1 %2: %3").arg(name, o.values[name], reading.problem);
}

QString readGroupOption(const Options& o, qint64& group) {
    if (!o.values.contains("--group")) {
        return Texts::tr("%1 is required").arg("--group");
    }
    bool ok = false;
    group = o.values["--group"].toLongLong(&ok);
    return ok ? QString() : Texts::tr("--group takes a payment-group id");
}

// The texts here are translated with their context named: lupdate does not follow the
// qualified names of this function's signature.
kiv::commands::ListChoice chooseEntry(const kiv::commands::ListFill& list, const QString& key,
                                      Streams s, const QString& given) {
    QStringList held;
    for (const kiv::commands::ListEntry& e : list.entries) {
        if (e.key == key) {
            return {e.text, e.key};
        }
        held << heldEntryText(e);
    }
    if (list.status.ok) {
        s.err << "kiv2200: "
              << (held.isEmpty() ? QCoreApplication::translate(
                                       "kiv2200", "%1 matches no entry of the list, which is empty")
                                       .arg(given)
                                 : QCoreApplication::translate(
                                       "kiv2200", "%1 matches no entry of the list, which holds %2")
                                       .arg(given, held.join(", ")))
              << "\n";
        s.err.flush();  // before the tab's own message, which stays the last
    }
    return {key, std::nullopt};
}

bool reportMissingDatabase(const QString& base, Streams s) {
    const std::optional<QString> missing = kiv::commands::missingDatabaseFile(base);
    if (!missing) {
        return false;
    }
    s.err << "kiv2200: "
          << Texts::tr(
                 "no database file %1. Make an empty one with kiv2200 init-db, a demo "
                 "package with kiv2200 demo, or name the package's folder with --base.")
                 .arg(*missing)
          << "\n";
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
