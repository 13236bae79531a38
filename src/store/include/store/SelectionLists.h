#pragma once
// The fillers of the drop-down lists: each reads the database afresh and answers the items to
// show, each with the key it stands for (a group id, or a collection date as mm/dd/yyyy). An
// entry always carries both, so a list can never show an item without a key. Which list of which
// tab each one feeds is said in one place, the commands' tab lists; nothing here touches a widget.
// No entry's text is empty: a group without a name shows as its id with an empty name, "5:".

#include <QString>

#include <optional>
#include <vector>
#include "database/LockWait.h"
#include "database/Result.h"

namespace kiv::store {

struct ListEntry {
    QString text;  // what the list shows
    QString key;   // what the rest of the program uses
    bool operator==(const ListEntry&) const = default;
};

// What a list shows when a filler reads it: its edit text and the key of its chosen entry (none
// when no entry is chosen, for example when the typed text matches no entry).
struct ListChoice {
    QString text;
    std::optional<QString> key;
};

struct ListFill {
    database::Result status = database::Result::failed({});  // ok when the list was filled
    bool cleared = true;      // false: leave the list and its keys as they are
    bool readFailed = false;  // the database could not be read; status says why, for the clerk
    std::vector<ListEntry> entries;
};

// Every payment group (the list CBO_GrpID of tab 產生; the package knows it as insert_CBO).
// Records its step code (AS001 to AS005) in `step` as it goes; on a failure the window shows the
// error's description followed by that code.
ListFill fillAllGroups(const QString& baseFolder, QString& step,
                       const database::LockWait& wait = {});
// The groups with an unsettled batch, on the chosen date when one is chosen (CBO_GrpID2).
ListFill fillGroupsWithUnsettledBatch(const QString& baseFolder, const ListChoice& tranDay,
                                      const database::LockWait& wait = {});
// Every group that has a batch, as "id:name" (CBO_GrpID3, CBO_GrpID4).
ListFill fillGroupsWithBatches(const QString& baseFolder, const database::LockWait& wait = {});
// The dates with an unsettled batch, newest first (CBO_TranDay).
ListFill fillUnsettledDates(const QString& baseFolder, const database::LockWait& wait = {});
// The dates of the chosen group's batches, newest first (CBO_TranDay3, CBO_TranDay4).
ListFill fillBatchDatesOfGroup(const QString& baseFolder, const ListChoice& group,
                               const database::LockWait& wait = {});

}  // namespace kiv::store
