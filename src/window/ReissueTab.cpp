#include "window/ReissueTab.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace kiv::window {

ReissueTab::Names ReissueTab::applyNames() {
    return {"tab_2",  "Frame2",      "Label9", "CBO_TranDay3", "Label7",    "CBO_GrpID3",
            "Frame3", "CC_TranDay3", "Frame4", "cmd_confirm3", "Cmd_exit3", "Label10"};
}

ReissueTab::Names ReissueTab::recollectNames() {
    return {"tab_3",  "Frame6",      "Label11", "CBO_TranDay4", "Label12",   "CBO_GrpID4",
            "Frame5", "CC_TranDay4", "Frame7",  "cmd_confirm4", "Cmd_exit4", "Label13"};
}

ReissueTab::ReissueTab(const Names& n, QWidget* parent) : QWidget(parent) {
    setObjectName(n.tab);
    auto* oldFrame = makeFrame(n.oldFrame, "請選擇舊收款日期及繳費群組", this);
    auto* dateLabel = makeLabel(n.dateLabel, "收款日期", oldFrame);
    dateList = new DropDownList(n.dateList, oldFrame);
    auto* groupLabel = makeLabel(n.groupLabel, "繳費群組", oldFrame);
    groupList = new DropDownList(n.groupList, oldFrame);
    auto* grid = new QGridLayout(oldFrame);
    grid->addWidget(dateLabel, 0, 0);
    grid->addWidget(dateList, 0, 1);
    grid->addWidget(groupLabel, 1, 0);
    grid->addWidget(groupList, 1, 1);
    grid->setRowStretch(2, 1);

    auto* newFrame = makeFrame(n.newFrame, "新收款日期", this);
    calendar = makeCalendar(n.calendar, newFrame);
    auto* calendarBox = new QVBoxLayout(newFrame);
    calendarBox->addWidget(calendar);

    buttons =
        makeButtonsFrame(n.buttonsFrame, n.confirm, n.exit, n.busy, "執 行 中, 請 稍 後", this);

    auto* row = new QHBoxLayout;
    row->addWidget(oldFrame, 1);
    row->addWidget(newFrame);
    auto* page = new QVBoxLayout(this);
    page->addLayout(row);
    page->addStretch(1);
    page->addWidget(buttons.frame);
}

}  // namespace kiv::window
