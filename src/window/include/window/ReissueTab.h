#pragma once
// Tabs "套用" and "補收轉帳不成功", which share one layout: the old batch's date and group, the
// new collection date, and the buttons. The control names of each tab are given by its Names.

#include <QWidget>

#include "window/DropDownList.h"
#include "window/FormControls.h"

namespace kiv::window {

class ReissueTab : public QWidget {
    Q_OBJECT
public:
    struct Names {
        QString tab, oldFrame, dateLabel, dateList, groupLabel, groupList, newFrame, calendar,
            buttonsFrame, confirm, exit, busy;
    };
    static Names applyNames();      // tab "套用"
    static Names recollectNames();  // tab "補收轉帳不成功"

    ReissueTab(const Names& names, QWidget* parent = nullptr);

    DropDownList* dateList;   // CBO_TranDay3 / CBO_TranDay4
    DropDownList* groupList;  // CBO_GrpID3 / CBO_GrpID4
    QCalendarWidget* calendar;
    ButtonsFrame buttons;
};

}  // namespace kiv::window
