#pragma once
// A drop-down list with an editable text, as the tabs use them: every item carries its key (a
// group id or a collection date) in the item itself, so an item can never lack its key. It
// announces that it is about to open, so that its owner can refill it first.

#include <QComboBox>
#include <optional>
#include <vector>

#include "commands/TabLists.h"

namespace kiv::window {

class DropDownList : public QComboBox {
    Q_OBJECT
public:
    explicit DropDownList(const QString& name, QWidget* parent = nullptr);

    // Replaces every item; the text and the chosen entry are cleared.
    void setEntries(const std::vector<kiv::commands::ListEntry>& entries);
    // Removes every item and the text.
    void clearAll();
    // The entry whose text the list shows, or -1: a typed text that matches no entry chooses none,
    // and an empty text is nothing chosen.
    int chosenIndex() const;
    std::optional<QString> chosenKey() const;
    kiv::commands::ListChoice choice() const;
    std::vector<kiv::commands::ListEntry> entries() const;

    // Refreshes the items (aboutToDropDown) before the list opens, unless a handler held it.
    void showPopup() override;
    // Called by an aboutToDropDown handler: the list stays closed this time.
    void holdPopup() { m_popupHeld = true; }

signals:
    void aboutToDropDown();

private:
    bool m_popupHeld = false;
};

}  // namespace kiv::window
