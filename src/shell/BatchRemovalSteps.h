#pragma once
// The removal step of each tab: removes the batch that the command deletes or is about to write
// again, in one transaction, showing its progress in the tab's busy label. On tab "產生" a
// failure is silent; the other tabs show its description.

#include <QString>

#include "Screen.h"
#include "TabInputs.h"

namespace kiv::shell {

// Tab "產生": the batch at the date being generated.
bool Kiv2200exe_delete_data(const QString& baseFolder, const CommandKeys& keys,
                            kiv::screen::Screen& screen);
// Tab "刪除": the chosen batch.
bool Kiv2200exe_delete_data2(const QString& baseFolder, const CommandKeys& keys,
                             kiv::screen::Screen& screen);
// Tabs "套用" and "補收轉帳不成功": the batch at the NEW date, never the old one.
bool Kiv2200exe_delete_data3(const QString& baseFolder, const CommandKeys& keys,
                             kiv::screen::Screen& screen);
bool Kiv2200exe_delete_data4(const QString& baseFolder, const CommandKeys& keys,
                             kiv::screen::Screen& screen);

}  // namespace kiv::shell
