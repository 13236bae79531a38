#include "window/ListKeyFilter.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace kiv::window {

ListKeyFilter::ListKeyFilter(QComboBox* list) : QObject(list) {}

void ListKeyFilter::install(QComboBox* list) {
    auto* filter = new ListKeyFilter(list);
    list->installEventFilter(filter);
    if (QLineEdit* edit = list->lineEdit()) {
        edit->installEventFilter(filter);
        // Text composed by an input method or pasted with the mouse would bypass the key filter.
        edit->setAttribute(Qt::WA_InputMethodEnabled, false);
        edit->setContextMenuPolicy(Qt::NoContextMenu);
        edit->setAcceptDrops(false);
    }
}

int ListKeyFilter::filteredCode(int code) {
    if (code == 13 || code == 9 || (code >= 37 && code <= 40)) {
        return code;
    }
    return 0;
}

bool ListKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    // The middle button pastes the X selection into the text, which no typed key would pass.
    if ((event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease ||
         event->type() == QEvent::MouseButtonDblClick) &&
        static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton) {
        return true;
    }
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    // Keys that type no character (arrows, function keys, shortcuts) are not filtered.
    const QString text = key->text();
    int code = 0;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        code = 13;
    } else if (key->key() == Qt::Key_Tab) {
        code = 9;
    } else if (text.isEmpty()) {
        return false;
    } else {
        code = text.at(0).unicode();
    }
    if (code == 13) {
        // Queued, not sent: the Enter itself is handled first, then the focus moves on.
        if (QWidget* target = QApplication::focusWidget()) {
            QApplication::postEvent(target,
                                    new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
            QApplication::postEvent(target,
                                    new QKeyEvent(QEvent::KeyRelease, Qt::Key_Tab, Qt::NoModifier));
        }
    }
    return filteredCode(code) == 0;
}

}  // namespace kiv::window
