#include "commands/TabLists.h"

namespace kiv::commands {

using kiv::screen::Tab;

bool hasList(Tab tab, ListKind kind) {
    return tab != Tab::Generate || kind == ListKind::Groups;
}

std::optional<ListKind> dependsOn(Tab tab, ListKind kind) {
    if (tab == Tab::Delete && kind == ListKind::Groups) {
        return ListKind::Dates;
    }
    if ((tab == Tab::Apply || tab == Tab::Recollect) && kind == ListKind::Dates) {
        return ListKind::Groups;
    }
    return std::nullopt;
}

ListFill readTabList(const QString& baseFolder, Tab tab, ListKind kind, const ListChoice& chosen,
                     const kiv::database::LockWait& wait, QString* step) {
    switch (tab) {
        case Tab::Generate: {
            QString ignored;
            return store::fillAllGroups(baseFolder, step ? *step : ignored, wait);
        }
        case Tab::Delete:
            return kind == ListKind::Dates
                       ? store::fillUnsettledDates(baseFolder, wait)
                       : store::fillGroupsWithUnsettledBatch(baseFolder, chosen, wait);
        case Tab::Apply:
        case Tab::Recollect:
            break;
    }
    return kind == ListKind::Groups ? store::fillGroupsWithBatches(baseFolder, wait)
                                    : store::fillBatchDatesOfGroup(baseFolder, chosen, wait);
}

}  // namespace kiv::commands
