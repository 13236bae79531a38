#pragma once
// Tab "刪除": the date and group of an unsettled batch, and the buttons.

#include <QWidget>

#include "window/DropDownList.h"
#include "window/FormControls.h"

namespace kiv::window {

class DeleteTab : public QWidget {
    Q_OBJECT
public:
    explicit DeleteTab(QWidget* parent = nullptr);

    DropDownList* CBO_TranDay;
    DropDownList* CBO_GrpID2;
    ButtonsFrame buttons;  // Cmd_confirm2, Cmd_exit2, Label6
};

}  // namespace kiv::window
