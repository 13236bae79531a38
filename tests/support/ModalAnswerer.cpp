#include "ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>

namespace kiv::test {

ModalAnswerer::ModalAnswerer() {
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer.start(10);
}

void ModalAnswerer::poll() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) {
        return;
    }
    m_seen << box->windowTitle() + "|" + box->text();
    if (m_whileOpen) {
        const auto action = std::move(m_whileOpen);
        m_whileOpen = nullptr;
        action();
    }
    if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
        ok->click();
        return;
    }
    bool yes = false;
    if (!m_answers.empty()) {
        yes = m_answers.front();
        m_answers.pop_front();
    }
    box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
}

}  // namespace kiv::test
