#include "window/DeleteTab.h"

#include <QGridLayout>
#include <QVBoxLayout>

#include "window/ListKeyFilter.h"

namespace kiv::window {

DeleteTab::DeleteTab(QWidget* parent) : QWidget(parent) {
    setObjectName("tab_1");
    auto* prompt = makeLabel("Label1", "請選擇收款日期及繳費群組後按[確認]", this);
    auto* dateLabel = makeLabel("Label3", "收款日期", this);
    CBO_TranDay = new DropDownList("CBO_TranDay", this);
    ListKeyFilter::install(CBO_TranDay);
    auto* groupLabel = makeLabel("Label2", "繳費群組", this);
    CBO_GrpID2 = new DropDownList("CBO_GrpID2", this);
    ListKeyFilter::install(CBO_GrpID2);
    buttons = makeButtonsFrame("Frame1", "Cmd_confirm2", "Cmd_exit2", "Label6", "執行中", this);

    auto* grid = new QGridLayout;
    grid->addWidget(dateLabel, 0, 0);
    grid->addWidget(CBO_TranDay, 0, 1);
    grid->addWidget(groupLabel, 1, 0);
    grid->addWidget(CBO_GrpID2, 1, 1);
    grid->setColumnStretch(2, 1);
    auto* page = new QVBoxLayout(this);
    page->addWidget(prompt);
    page->addLayout(grid);
    page->addStretch(1);
    page->addWidget(buttons.frame);
}

}  // namespace kiv::window
