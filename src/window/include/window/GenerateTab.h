#pragma once
// Tab "產生": the collection date, the payment group, the deadline box and the buttons.

#include <QCheckBox>
#include <QWidget>

#include "window/DropDownList.h"
#include "window/FormControls.h"

namespace kiv::window {

class GenerateTab : public QWidget {
    Q_OBJECT
public:
    explicit GenerateTab(QWidget* parent = nullptr);

    QCalendarWidget* CC_TranDay;
    DropDownList* CBO_GrpID;
    QCheckBox* Chk_DL;
    ButtonsFrame buttons;  // cmd_confirm, Cmd_exit, Label4
};

// The caption of Chk_DL: two lines.
QString deadlineBoxCaption();

}  // namespace kiv::window
