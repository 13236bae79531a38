#include "RecordingScreen.h"

namespace kiv::test {

using kiv::screen::Icon;
using kiv::screen::Tab;
using kiv::screen::Title;

namespace {
QString titleName(Title t) {
    switch (t) {
        case Title::Application:
            return "Application";
        case Title::Default:
            return "Default";
        case Title::Empty:
            return "Empty";
    }
    return {};
}
int tabIndex(Tab t) {
    return static_cast<int>(t);
}
}  // namespace

void RecordingScreen::showMessage(const QString& text, Title title, Icon icon) {
    record(QString("message[%1%2] %3")
               .arg(titleName(title), icon == Icon::Critical ? ",Critical" : "", text));
}

bool RecordingScreen::askYesNo(const QString& text, Title title) {
    record(QString("ask[%1] %2").arg(titleName(title), text));
    if (m_answers.empty()) {
        return false;
    }
    const bool yes = m_answers.front();
    m_answers.pop_front();
    return yes;
}

void RecordingScreen::setBusyText(Tab tab, const QString& text) {
    record(QString("busyText[%1] %2").arg(tabIndex(tab)).arg(text));
}

void RecordingScreen::setBusyVisible(Tab tab, bool visible) {
    record(QString("busyVisible[%1] %2").arg(tabIndex(tab)).arg(visible ? 1 : 0));
}

void RecordingScreen::setConfirmEnabled(Tab tab, bool enabled) {
    record(QString("confirm[%1] %2").arg(tabIndex(tab)).arg(enabled ? 1 : 0));
}

void RecordingScreen::setBusyPointer(bool busy) {
    record((busy ? QString("pointer busy") : QString("pointer normal")));
}

void RecordingScreen::setFocus(const QString& controlName) {
    record("focus " + controlName);
}

void RecordingScreen::processEvents() {
    record("events");
}

void RecordingScreen::record(const QString& call) {
    m_calls << call;
    for (Hook& h : m_hooks) {
        if (h.action && h.call == call && m_calls.count(call) == h.nth) {
            auto action = std::move(h.action);
            h.action = nullptr;
            action();
        }
    }
}

QStringList RecordingScreen::messages() const {
    QStringList out;
    for (const QString& c : m_calls) {
        if (c.startsWith("message[") || c.startsWith("ask[")) {
            out << c.mid(c.indexOf("] ") + 2);
        }
    }
    return out;
}

QStringList RecordingScreen::busyTexts(Tab tab) const {
    const QString prefix = QString("busyText[%1] ").arg(tabIndex(tab));
    QStringList out;
    for (const QString& c : m_calls) {
        if (c.startsWith(prefix)) {
            out << c.mid(prefix.size());
        }
    }
    return out;
}

}  // namespace kiv::test
