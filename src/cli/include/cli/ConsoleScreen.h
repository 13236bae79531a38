#pragma once
// The screen of kiv2200: every message box printed on standard output (its two carriage returns
// as one empty line, then an empty line), questions printed the same way and answered Yes by
// --yes, at an interactive terminal by the person there, and No otherwise; busy-label texts on
// standard error as progress: at a terminal one line written over and over, elsewhere one line
// each, or none at all. A message or question that follows progress at a terminal starts on a
// line of its own. Put a PacedScreen in front of it: the engines count every few bills.

#include <QTextStream>

#include "screen/Screen.h"

namespace kiv::cli {

class ConsoleScreen : public kiv::screen::Screen {
public:
    enum class Answers { Yes, Ask, No };
    enum class Progress { Terminal, Lines, Quiet };
    ConsoleScreen(QTextStream& out, QTextStream& err, Answers answers, QTextStream* in = nullptr,
                  Progress progress = Progress::Lines);
    ~ConsoleScreen() override;

    void showMessage(const QString& text, kiv::screen::Title title,
                     kiv::screen::Icon icon) override;
    bool askYesNo(const QString& text, kiv::screen::Title title) override;
    void setBusyText(kiv::screen::Tab tab, const QString& text) override;
    void setBusyVisible(kiv::screen::Tab, bool visible) override;
    void setConfirmEnabled(kiv::screen::Tab, bool) override {}
    void setBusyPointer(bool) override {}
    void setFocus(kiv::screen::Field) override {}
    void processEvents() override {}

private:
    void print(const QString& text);
    // Ends the progress line written over at a terminal, so that what follows starts a line.
    void endProgressLine();
    QTextStream& m_out;
    QTextStream& m_err;
    Answers m_answers;
    QTextStream* m_in;
    Progress m_progress;
    bool m_lineOpen = false;
};

}  // namespace kiv::cli
