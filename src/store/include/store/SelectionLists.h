#pragma once
// The seven fillers of the drop-down lists: each reads the database afresh and answers the items
// to show, each with the key it stands for (a group id, or a collection date as mm/dd/yyyy).
// An entry always carries both, so a list can never show an item without a key. The window
// applies the answer to its list; nothing here touches a widget.

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

// CBO_GrpID: every payment group. Records its step code (AS001 to AS005) in step as it goes; on
// a failure the window shows the error's description followed by that code.
ListFill insert_CBO(const QString& baseFolder, QString& step, const database::LockWait& wait = {});
// CBO_GrpID2: groups with an unsettled batch, on the date chosen in CBO_TranDay if one is chosen.
ListFill insert_CBO2(const QString& baseFolder, const ListChoice& tranDay,
                     const database::LockWait& wait = {});
// CBO_GrpID3, CBO_GrpID4: every group that has a batch, as "id:name".
ListFill insert_CBO3(const QString& baseFolder, const database::LockWait& wait = {});
ListFill insert_CBO4(const QString& baseFolder, const database::LockWait& wait = {});
// CBO_TranDay: dates with an unsettled batch, newest first.
ListFill insert_CBO_TranDay(const QString& baseFolder, const database::LockWait& wait = {});
// CBO_TranDay3, CBO_TranDay4: the dates of the chosen group's batches, newest first.
ListFill insert_CBO_TranDay3(const QString& baseFolder, const ListChoice& group,
                             const database::LockWait& wait = {});
ListFill insert_CBO_TranDay4(const QString& baseFolder, const ListChoice& group,
                             const database::LockWait& wait = {});

}  // namespace kiv::store
