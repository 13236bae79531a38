#pragma once
// A screen for tests: records every call in order as one readable line each, and answers the
// Yes/No questions from a script given in advance (No when the script has run out).

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "screen/Screen.h"

namespace kiv::test {

class RecordingScreen : public kiv::screen::Screen {
public:
    // The answers to the next questions, in order.
    void answerNext(bool yes) { m_answers.push_back(yes); }
    // Runs `action` right after the `nth` call recorded as `call` (counting from 1): what another
    // workstation does at that moment of the command.
    void at(const QString& call, int nth, std::function<void()> action) {
        m_hooks.push_back({call, nth, std::move(action)});
    }

    void showMessage(const QString& text, kiv::screen::Title title,
                     kiv::screen::Icon icon) override;
    bool askYesNo(const QString& text, kiv::screen::Title title) override;
    void setBusyText(kiv::screen::Tab tab, const QString& text) override;
    void setBusyVisible(kiv::screen::Tab tab, bool visible) override;
    void setConfirmEnabled(kiv::screen::Tab tab, bool enabled) override;
    void setBusyPointer(bool busy) override;
    void setFocus(const QString& controlName) override;
    void processEvents() override;

    // Every call, e.g. "message[Application] 新 增 成 功", "busyText[0] 執行第6筆",
    // "busyVisible[0] 1", "confirm[2] 0", "pointer busy", "focus CBO_GrpID", "events",
    // "ask[Empty] ..." ; message texts keep their carriage returns.
    const QStringList& calls() const { return m_calls; }
    // Only the message and question lines, texts only.
    QStringList messages() const;
    // Only the busy-label texts set on a tab, in order.
    QStringList busyTexts(kiv::screen::Tab tab) const;
    void clear() { m_calls.clear(); }

private:
    struct Hook {
        QString call;
        int nth;
        std::function<void()> action;
    };
    void record(const QString& call);

    QStringList m_calls;
    std::vector<Hook> m_hooks;
    std::deque<bool> m_answers;
};

}  // namespace kiv::test
