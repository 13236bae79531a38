#include "window/GenerateTab.h"

#include <QGridLayout>
#include <QVBoxLayout>

#include "window/ListKeyFilter.h"

namespace kiv::window {

QString deadlineBoxCaption() {
    return QStringLiteral(
        " 需設定郵局臨櫃繳費截止日期\n"
        "(繳費期限請於3.6臨櫃存款單列印 或 3.5臨櫃存款單列印(套印) 設定)");
}

GenerateTab::GenerateTab(QWidget* parent) : QWidget(parent) {
    setObjectName("tab_0");
    auto* prompt = makeLabel("Label5", "請選擇收款日期及繳費群組後按[確認]", this);
    CC_TranDay = makeCalendar("CC_TranDay", this);
    auto* groupLabel = makeLabel("Label8", "繳費群組", this);
    CBO_GrpID = new DropDownList("CBO_GrpID", this);
    ListKeyFilter::install(CBO_GrpID);
    Chk_DL = new QCheckBox(deadlineBoxCaption(), this);
    Chk_DL->setObjectName("Chk_DL");
    QFont bold = Chk_DL->font();
    bold.setBold(true);
    Chk_DL->setFont(bold);
    buttons =
        makeButtonsFrame("fra_04", "cmd_confirm", "Cmd_exit", "Label4", "執 行 中, 請 稍 後", this);

    auto* grid = new QGridLayout;
    grid->addWidget(CC_TranDay, 0, 0, 3, 1);
    grid->addWidget(groupLabel, 0, 1, Qt::AlignBottom);
    grid->addWidget(CBO_GrpID, 1, 1, Qt::AlignTop);
    grid->setColumnStretch(1, 1);
    auto* page = new QVBoxLayout(this);
    page->addWidget(prompt);
    page->addLayout(grid);
    page->addWidget(Chk_DL);
    page->addStretch(1);
    page->addWidget(buttons.frame);
}

}  // namespace kiv::window
