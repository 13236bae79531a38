#pragma once
// Which list feeds which tab, in one place: the group list and the date list of each tab, what
// each depends on, and what it holds. The window fills its drop-down lists from here, kiv2200 its
// choices and its list command; neither reads the database itself.

#include <QString>
#include <optional>

#include "database/DatabaseErrors.h"
#include "database/LockWait.h"
#include "screen/Screen.h"
#include "store/SelectionLists.h"

namespace kiv::commands {

using database::withStepCode;
using store::ListChoice;
using store::ListEntry;
using store::ListFill;

enum class ListKind { Groups, Dates };

// Tab 產生 has no date list; every other list is there.
bool hasList(kiv::screen::Tab tab, ListKind kind);

// The list that (tab, kind) is read for, when it depends on one: tab 刪除's groups are those of
// the chosen date, the dates of tabs 套用 and 補收轉帳不成功 those of the chosen group.
std::optional<ListKind> dependsOn(kiv::screen::Tab tab, ListKind kind);

// The list as it stands in the database now. `chosen` is what is chosen in the list it depends
// on (ignored for the others). Tab 產生's group list records its step code in `step` when given.
// A list that cannot be read says so (readFailed), never reads as empty.
ListFill readTabList(const QString& baseFolder, kiv::screen::Tab tab, ListKind kind,
                     const ListChoice& chosen = {}, const kiv::database::LockWait& wait = {},
                     QString* step = nullptr);

}  // namespace kiv::commands
