#pragma once
// A screen for tests: records every call in order as one readable line each, and answers the
// Yes/No questions from a script given in advance (No when the script has run out).
//
// Every call reads, e.g. "message[Application] 新 增 成 功", "busyText[0] 執行第6筆",
// "busyVisible[0] 1", "confirm[2] 0", "pointer busy", "focus CBO_GrpID", "events",
// "ask[Empty] ..." ; message texts keep their carriage returns.

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QSysInfo>
#include <deque>
#include <functional>
#include <utility>
#include <vector>

#include "screen/Screen.h"

namespace kiv::test {

class RecordingScreen : public kiv::screen::Screen {
public:
    using Tab = kiv::screen::Tab;
    using Title = kiv::screen::Title;

    // The answers to the next questions, in order.
    void answerNext(bool yes) { m_answers.push_back(yes); }
    // Runs `action` right after the `nth` call recorded as `call` (counting from 1): what another
    // workstation does at that moment of the command.
    void at(const QString& call, int nth, std::function<void()> action) {
        m_hooks.push_back({call, nth, std::move(action)});
    }

    void showMessage(const QString& text, Title title, kiv::screen::Icon icon) override {
        record(QString("message[%1%2] %3")
                   .arg(name(title), icon == kiv::screen::Icon::Critical ? ",Critical" : "", text));
    }
    bool askYesNo(const QString& text, Title title) override {
        record(QString("ask[%1] %2").arg(name(title), text));
        const bool yes = !m_answers.empty() && m_answers.front();
        if (!m_answers.empty()) {
            m_answers.pop_front();
        }
        return yes;
    }
    void setBusyText(Tab tab, const QString& text) override {
        record(QString("busyText[%1] %2").arg(int(tab)).arg(text));
    }
    void setBusyVisible(Tab tab, bool visible) override {
        record(QString("busyVisible[%1] %2").arg(int(tab)).arg(visible ? 1 : 0));
    }
    void setConfirmEnabled(Tab tab, bool enabled) override {
        record(QString("confirm[%1] %2").arg(int(tab)).arg(enabled ? 1 : 0));
    }
    void setBusyPointer(bool busy) override { record(busy ? "pointer busy" : "pointer normal"); }
    void setFocus(kiv::screen::Field field) override { record("focus " + controlName(field)); }
    void processEvents() override { record("events"); }

    const QStringList& calls() const { return m_calls; }
    // Only the message and question lines, texts only.
    QStringList messages() const { return textsOf("(message|ask)\\[[^]]*\\] "); }
    // Only the busy-label texts set on a tab, in order.
    QStringList busyTexts(Tab tab) const {
        return textsOf(QString("busyText\\[%1\\] ").arg(int(tab)));
    }
    void clear() { m_calls.clear(); }

private:
    struct Hook {
        QString call;
        int nth;
        std::function<void()> action;
    };
    // The window's control of each field, as the records name it.
    static QString controlName(kiv::screen::Field f) {
        static const char* const names[] = {
            "CC_TranDay", "CBO_GrpID",   "CBO_TranDay",  "CBO_GrpID2", "CBO_TranDay3",
            "CBO_GrpID3", "CC_TranDay3", "CBO_TranDay4", "CBO_GrpID4", "CC_TranDay4"};
        return names[int(f)];
    }
    static QString name(Title t) {
        return t == Title::Application ? "Application" : t == Title::Empty ? "Empty" : "Default";
    }
    // The rest of each call that starts with `call`, a pattern.
    QStringList textsOf(const QString& call) const {
        const QRegularExpression start("^" + call);
        QStringList out;
        for (const QString& c : m_calls) {
            if (const QRegularExpressionMatch m = start.match(c); m.hasMatch()) {
                out << c.mid(m.capturedLength());
            }
        }
        return out;
    }
    void record(const QString& call) {
        m_calls << call;
        for (Hook& h : m_hooks) {
            if (h.action && h.call == call && m_calls.count(call) == h.nth) {
                auto action = std::move(h.action);
                h.action = nullptr;
                action();
            }
        }
    }

    QStringList m_calls;
    std::vector<Hook> m_hooks;
    std::deque<bool> m_answers;
};

// The changed-meanwhile message naming this workstation's write with `verb` (產生, 刪除, ...) of
// the batch `batch` ("115/12/07，繳費群組 1"), at any time, by any user.
inline QRegularExpression changedByThisWorkstation(const QString& verb, const QString& batch) {
    return QRegularExpression("^工作站 " + QRegularExpression::escape(QSysInfo::machineHostName()) +
                              "（使用者 [^）]+）於 \\d\\d:\\d\\d:\\d\\d " + verb +
                              "了這批資料（收款日期 " + QRegularExpression::escape(batch) +
                              "）。\r\r本次沒有寫入任何資料，請重新執行一次。$");
}

// Progress as a screen or a log got it: the counts ("執行第N筆", alone or as a busy text), the
// last count before each other line, the other lines in order, and the event requests.
struct CountStretches {
    QStringList others, lastCounts, counts;
    int events = 0;
};
inline CountStretches countStretches(const QStringList& lines) {
    static const QRegularExpression count(QStringLiteral("^執行第\\d+筆$"));
    CountStretches s;
    QString last;
    for (const QString& line : lines) {
        const qsizetype text = line.startsWith("busyText[") ? line.indexOf("] ") + 2 : 0;
        if (line == "events") {
            ++s.events;
        } else if (count.match(line.mid(text)).hasMatch()) {
            s.counts << (last = line);
        } else {
            if (!last.isEmpty()) {
                s.lastCounts << std::exchange(last, {});
            }
            s.others << line;
        }
    }
    return s;
}

}  // namespace kiv::test
