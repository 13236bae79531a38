#pragma once
// The checks of what the database already holds for the batch a command is about to replace or
// delete: a batch with locked bills, or in which some students have already paid, is refused; an
// existing unpaid batch is replaced only when the clerk agrees (deleted without a question on
// tab "刪除"). When they refuse, the checks of tabs "產生", "套用" and "補收轉帳不成功" restore
// the tab's busy state themselves.

#include <QString>

#include "Screen.h"
#include "TabInputs.h"

namespace kiv::shell {

// Tab "產生": locks and header of (tranDay, group).
bool check_KIV10_Agency(const QString& baseFolder, const CommandKeys& keys,
                        kiv::screen::Screen& screen);
// Tab "刪除": locks and header of (tranDay, group), no question.
bool check_KIV10_Agency2(const QString& baseFolder, const CommandKeys& keys,
                         kiv::screen::Screen& screen);
// Tabs "套用" and "補收轉帳不成功": the header of the batch at the new date; locks are not counted.
bool check_KIV10_Agency3(const QString& baseFolder, const CommandKeys& keys,
                         kiv::screen::Screen& screen);
bool check_KIV10_Agency4(const QString& baseFolder, const CommandKeys& keys,
                         kiv::screen::Screen& screen);

// The messages, parts joined by two carriage returns.
QString lockedMessage(kiv::screen::Tab tab);
QString paidMessage(kiv::screen::Tab tab);
QString overwriteQuestion();

}  // namespace kiv::shell
