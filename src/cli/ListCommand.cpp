#include "cli/ListCommand.h"

#include "cli/CliCommon.h"
#include "database/DatabaseErrors.h"
#include "database/Values.h"
#include "store/SelectionLists.h"

namespace kiv::cli {

namespace {

using kiv::store::ListChoice;
using kiv::store::ListFill;

const QStringList kTabNames = {"generate", "delete", "apply", "recollect"};

// The tab as its number in the window (0 to 3) or as the command that runs it.
int tabOf(const QString& text) {
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok ? (n >= 0 && n <= 3 ? n : -1) : int(kTabNames.indexOf(text));
}

}  // namespace

int listCommand(const QString& base, const QStringList& args, Streams s) {
    if (args.isEmpty() || (args[0] != "groups" && args[0] != "dates")) {
        return usageError(s, "list takes groups or dates");
    }
    const bool groups = args[0] == "groups";
    const Options o = parseOptions(args.mid(1), {"--tab", "--group", "--date"}, {});
    if (!o.error.isEmpty()) {
        return usageError(s, o.error);
    }
    const int tab = tabOf(o.values.value("--tab"));
    if (tab < 0) {
        return usageError(s, "--tab takes 0 to 3 or generate, delete, apply, recollect");
    }
    if (!groups && tab == 0) {
        return usageError(s, "tab 0 (generate) has no date list: any date from today is taken");
    }
    // A date list of tabs 2 and 3 lists the dates of one group; group lists need no date.
    const bool needsGroup = !groups && tab >= 2;
    if (needsGroup != o.values.contains("--group")) {
        return usageError(s, needsGroup ? "--group is required" : "--group does not belong here");
    }
    const bool takesDate = groups && tab == 1;
    if (o.values.contains("--date") && !takesDate) {
        return usageError(s, "--date belongs only to the group list of tab 1 (delete)");
    }
    QDate date;
    if (o.values.contains("--date")) {
        if (const QString error = readDateOption(o, "--date", date); !error.isEmpty()) {
            return usageError(s, error);
        }
    }
    if (reportMissingDatabase(base, s)) {
        return kStopped;
    }
    QString step;
    ListFill fill;
    if (groups) {
        if (tab == 0) {
            fill = kiv::store::insert_CBO(base, step);
        } else if (tab == 1) {
            // Without a date, the groups with an unsettled batch on any date.
            ListChoice day{QStringLiteral("*"), std::nullopt};
            if (date.isValid()) {
                const ListFill dates = kiv::store::insert_CBO_TranDay(base);
                day = chooseEntry(dates, kiv::database::collectionDateText(date), s,
                                  "--date " + o.values["--date"]);
                fill = dates;
            }
            if (day.key || !date.isValid()) {
                fill = kiv::store::insert_CBO2(base, day);
            } else if (!fill.readFailed) {
                return kStopped;  // the date that matched nothing, named above
            }
        } else {
            fill = tab == 2 ? kiv::store::insert_CBO3(base) : kiv::store::insert_CBO4(base);
        }
    } else if (tab == 1) {
        fill = kiv::store::insert_CBO_TranDay(base);
    } else {
        const QString key = o.values["--group"];
        const ListFill groupList =
            tab == 2 ? kiv::store::insert_CBO3(base) : kiv::store::insert_CBO4(base);
        const ListChoice group = chooseEntry(groupList, key, s, "--group " + key);
        fill = groupList.readFailed ? groupList
               : tab == 2           ? kiv::store::insert_CBO_TranDay3(base, group)
                                    : kiv::store::insert_CBO_TranDay4(base, group);
    }
    if (!fill.status.ok && !fill.readFailed && !fill.status.description.isEmpty()) {
        return kStopped;  // the group that matched nothing, named above
    }
    if (fill.readFailed) {
        s.err << "kiv2200: " << kiv::database::withStepCode(fill.status.description, step) << "\n";
        return kStopped;
    }
    for (const kiv::store::ListEntry& e : fill.entries) {
        // Dates as kiv2200 takes them back; group keys as they are.
        const QString key =
            groups ? e.key : kiv::database::dateFromCollectionText(e.key).toString(Qt::ISODate);
        s.out << key << "\t" << e.text << "\n";
    }
    return kOk;
}

}  // namespace kiv::cli
