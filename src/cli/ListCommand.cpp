#include "cli/ListCommand.h"

#include "cli/CliCommon.h"
#include "commands/DateForms.h"
#include "screen/Texts.h"

namespace kiv::cli {

namespace {

using kiv::commands::ListChoice;
using kiv::commands::ListFill;
using kiv::commands::ListKind;
using kiv::screen::Tab;

const QStringList kTabNames = {"generate", "delete", "apply", "recollect"};

// The tab as its number in the window (0 to 3) or as the command that runs it.
int tabOf(const QString& text) {
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok ? (n >= 0 && n <= 3 ? n : -1) : int(kTabNames.indexOf(text));
}

// The options of `list`: which list, and what it is read for. An empty text when they are valid.
QString readListOptions(const QStringList& args, int& tab, ListKind& kind, QDate& date,
                        Options& o) {
    o = parseOptions(args, {"--tab", "--group", "--date"}, {}, 1);
    if (!o.error.isEmpty()) {
        return o.error;
    }
    if (o.arguments.size() != 1 || (o.arguments[0] != "groups" && o.arguments[0] != "dates")) {
        return Texts::tr("list takes groups or dates");
    }
    kind = o.arguments[0] == "groups" ? ListKind::Groups : ListKind::Dates;
    tab = tabOf(o.values.value("--tab"));
    if (tab < 0) {
        return Texts::tr("--tab takes 0 to 3 or generate, delete, apply, recollect");
    }
    const Tab t = Tab(tab);
    if (!kiv::commands::hasList(t, kind)) {
        return Texts::tr("tab 0 (generate) has no date list: any date from today is taken");
    }
    // A date list of tabs 2 and 3 lists the dates of one group; group lists need no date.
    const bool needsGroup = kiv::commands::dependsOn(t, kind) == ListKind::Groups;
    if (needsGroup != o.values.contains("--group")) {
        return needsGroup ? Texts::tr("%1 is required").arg("--group")
                          : Texts::tr("%1 does not belong here").arg("--group");
    }
    const bool takesDate = kiv::commands::dependsOn(t, kind) == ListKind::Dates;
    if (o.values.contains("--date") && !takesDate) {
        return Texts::tr("--date belongs only to the group list of tab 1 (delete)");
    }
    return o.values.contains("--date") ? readDateOption(o, "--date", date) : QString();
}

// The entry chosen in the list that (tab, kind) depends on; nothing read when the option that
// names it matched no entry (said on err), or when that list could not be read (`fill` says).
std::optional<ListChoice> chosenFor(const QString& base, Tab tab, ListKind kind, const QDate& date,
                                    const Options& o, Streams s, ListFill& fill) {
    const std::optional<ListKind> other = kiv::commands::dependsOn(tab, kind);
    if (!other) {
        return ListChoice{};
    }
    // Without a date, tab 刪除's groups with an unsettled batch on any date.
    if (*other == ListKind::Dates && !date.isValid()) {
        return ListChoice{QStringLiteral("*"), std::nullopt};
    }
    const QString option = *other == ListKind::Dates ? "--date" : "--group";
    const QString key = *other == ListKind::Dates ? kiv::commands::collectionDateText(date)
                                                  : o.values.value("--group");
    fill = kiv::commands::readTabList(base, tab, *other);
    const ListChoice chosen = chooseEntry(fill, key, s, option + " " + o.values.value(option));
    if (fill.readFailed || (!chosen.key && *other == ListKind::Dates)) {
        return std::nullopt;
    }
    return chosen;
}

}  // namespace

int listCommand(const QString& base, const QStringList& args, Streams s) {
    int tab = 0;
    ListKind kind = ListKind::Groups;
    QDate date;
    Options o;
    if (const QString error = readListOptions(args, tab, kind, date, o); !error.isEmpty()) {
        return usageError(s, error);
    }
    if (reportMissingDatabase(base, s)) {
        return kStopped;
    }
    QString step;
    ListFill fill;
    if (const std::optional<ListChoice> chosen =
            chosenFor(base, Tab(tab), kind, date, o, s, fill)) {
        fill = kiv::commands::readTabList(base, Tab(tab), kind, *chosen, {}, &step);
    } else if (!fill.readFailed) {
        return kStopped;  // the option that matched nothing, named above
    }
    if (!fill.status.ok && !fill.readFailed && !fill.status.description.isEmpty()) {
        return kStopped;  // the group that matched nothing, named above
    }
    if (fill.readFailed) {
        s.err << "kiv2200: " << kiv::commands::withStepCode(fill.status.description, step) << "\n";
        return kStopped;
    }
    for (const kiv::commands::ListEntry& e : fill.entries) {
        // Dates as kiv2200 takes them back; group keys as they are.
        const QString key =
            kind == ListKind::Groups
                ? e.key
                : kiv::commands::isoDate(kiv::commands::dateFromCollectionText(e.key));
        s.out << key << "\t" << e.text << "\n";
    }
    return kOk;
}

}  // namespace kiv::cli
