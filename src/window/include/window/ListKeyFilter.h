#pragma once
// The key filter of the lists whose text may only be set by choosing an entry (CBO_GrpID,
// CBO_GrpID2, CBO_TranDay). Of the typed characters only Enter (13), Tab (9) and codes 37 to 40
// pass; Enter also sends a Tab stroke, so that the focus moves on. Installed on the list and on
// its line edit, which is where an editable list's typed keys actually arrive.

#include <QObject>

class QComboBox;

namespace kiv::window {

class ListKeyFilter : public QObject {
    Q_OBJECT
public:
    // Installs a filter owned by the list.
    static void install(QComboBox* list);

    // The character code after filtering: the code itself when it passes, 0 when discarded.
    static int filteredCode(int code);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit ListKeyFilter(QComboBox* list);
};

}  // namespace kiv::window
