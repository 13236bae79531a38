#pragma once
// The screen of kiv2200: every message box printed on standard output (its two carriage returns
// as one empty line, then an empty line), questions printed the same way and answered Yes by
// --yes, at an interactive terminal by the person there, and No otherwise; busy-label texts on
// standard error as progress.

#include <QTextStream>

#include "screen/Screen.h"

namespace kiv::cli {

class ConsoleScreen : public kiv::screen::Screen {
public:
    enum class Answers { Yes, Ask, No };
    ConsoleScreen(QTextStream& out, QTextStream& err, Answers answers, QTextStream* in = nullptr);

    void showMessage(const QString& text, kiv::screen::Title title,
                     kiv::screen::Icon icon) override;
    bool askYesNo(const QString& text, kiv::screen::Title title) override;
    void setBusyText(kiv::screen::Tab tab, const QString& text) override;
    void setBusyVisible(kiv::screen::Tab, bool) override {}
    void setConfirmEnabled(kiv::screen::Tab, bool) override {}
    void setBusyPointer(bool) override {}
    void setFocus(const QString&) override {}
    void processEvents() override {}

private:
    void print(const QString& text);
    QTextStream& m_out;
    QTextStream& m_err;
    Answers m_answers;
    QTextStream* m_in;
};

}  // namespace kiv::cli
