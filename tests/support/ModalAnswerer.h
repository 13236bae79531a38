#pragma once
// Answers the window's modal message boxes while a test drives it: records each box's caption,
// icon and text, and presses the scripted button (OK, or Yes/No from the script; No when the
// script has run out).

#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>

namespace kiv::test {

class ModalAnswerer : public QObject {
public:
    ModalAnswerer();
    void answerNext(bool yes) { m_answers.push_back(yes); }
    // Called once, with the box still open, before the next box is answered.
    void whileNextBoxIsOpen(std::function<void()> action) { m_whileOpen = std::move(action); }
    // "caption|text" for each box seen, texts with their line breaks.
    const QStringList& seen() const { return m_seen; }

private:
    void poll();
    QTimer m_timer;
    QStringList m_seen;
    std::deque<bool> m_answers;
    std::function<void()> m_whileOpen;
};

}  // namespace kiv::test
