#pragma once
// The input checks of the four tabs: each stops at the first rule that fails, tells the clerk
// which, moves the focus to the control at fault and answers nothing; on success it answers the
// batch keys. A list counts as chosen when it shows one of its entries: a text that matches
// none of them counts as an empty list.

#include <optional>

#include "commands/TabInputs.h"
#include "screen/Screen.h"

namespace kiv::commands {

inline constexpr const char* kDateBeforeToday = "收 款 日 期 必 須 大 於 或 等 於 今 日";
inline constexpr const char* kGroupRequired = "繳 費 群 組 必 須 選 取";
inline constexpr const char* kDateRequired = "收 款 日 期 必 須 輸 入";
inline constexpr const char* kNewDateNotAfterOld = "新 收 款 日 期 必 須 大 於 原 收 款 日 期";

// Tab 產生 (check_Text to the package's other programs).
std::optional<CommandKeys> checkGenerateInputs(const GenerateInputs& in, const QDate& today,
                                               kiv::screen::Screen& screen);
// Tab 刪除 (Check_Text2).
std::optional<CommandKeys> checkDeleteInputs(const DeleteInputs& in, kiv::screen::Screen& screen);
// Tabs 套用 and 補收轉帳不成功 (Check_Text3, Check_Text4): `tab` says which fields are at fault.
std::optional<CommandKeys> checkReissueInputs(kiv::screen::Tab tab, const ReissueInputs& in,
                                              const QDate& today, kiv::screen::Screen& screen);

}  // namespace kiv::commands
