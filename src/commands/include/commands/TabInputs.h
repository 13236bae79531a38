#pragma once
// What a tab command reads from its tab when it starts, and the batch keys that its input check
// leaves for the steps after it. The window fills the inputs from its controls; kiv2200 fills
// them from its command line, choosing list entries as a clerk would.

#include <QDate>

#include "store/SelectionLists.h"

namespace kiv::commands {

struct GenerateInputs {
    QDate date;                    // CC_TranDay
    kiv::store::ListChoice group;  // CBO_GrpID
    bool deadline = false;         // Chk_DL
};

struct DeleteInputs {
    kiv::store::ListChoice date;   // CBO_TranDay
    kiv::store::ListChoice group;  // CBO_GrpID2
};

struct ReissueInputs {
    kiv::store::ListChoice oldDate;  // CBO_TranDay3 / CBO_TranDay4
    kiv::store::ListChoice group;    // CBO_GrpID3 / CBO_GrpID4
    QDate newDate;                   // CC_TranDay3 / CC_TranDay4
};

// The batch a command works on.
struct CommandKeys {
    QDate tranDay;  // the batch date; on tabs "套用" and "補收轉帳不成功" the old batch's date
    QDate newTranDay;  // the new date of tabs "套用" and "補收轉帳不成功"
    qint64 group = 0;
};

}  // namespace kiv::commands
