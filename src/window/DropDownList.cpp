#include "window/DropDownList.h"

#include <QLineEdit>

namespace kiv::window {

DropDownList::DropDownList(const QString& name, QWidget* parent) : QComboBox(parent) {
    setObjectName(name);
    setEditable(true);
    // Typing never adds an item: the items are what the database holds.
    setInsertPolicy(QComboBox::NoInsert);
    setMinimumContentsLength(14);
    lineEdit()->setObjectName(name + "_text");
}

void DropDownList::setEntries(const std::vector<kiv::commands::ListEntry>& entries) {
    clearAll();
    for (const auto& e : entries) {
        addItem(e.text, e.key);
    }
    setCurrentIndex(-1);
    setEditText(QString());
}

void DropDownList::clearAll() {
    clear();
    setEditText(QString());
}

int DropDownList::chosenIndex() const {
    const int i = currentIndex();
    if (i >= 0 && !currentText().isEmpty() && itemText(i) == currentText()) {
        return i;
    }
    return -1;
}

std::optional<QString> DropDownList::chosenKey() const {
    const int i = chosenIndex();
    if (i < 0) {
        return std::nullopt;
    }
    return itemData(i).toString();
}

kiv::commands::ListChoice DropDownList::choice() const {
    return {currentText(), chosenKey()};
}

std::vector<kiv::commands::ListEntry> DropDownList::entries() const {
    std::vector<kiv::commands::ListEntry> out;
    for (int i = 0; i < count(); ++i) {
        out.push_back({itemText(i), itemData(i).toString()});
    }
    return out;
}

void DropDownList::showPopup() {
    m_popupHeld = false;
    emit aboutToDropDown();
    if (!std::exchange(m_popupHeld, false)) {
        QComboBox::showPopup();
    }
}

}  // namespace kiv::window
