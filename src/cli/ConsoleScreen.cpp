#include "cli/ConsoleScreen.h"
#include "screen/Texts.h"

namespace kiv::cli {

ConsoleScreen::ConsoleScreen(QTextStream& out, QTextStream& err, Answers answers, QTextStream* in,
                             Progress progress)
    : m_out(out), m_err(err), m_answers(answers), m_in(in), m_progress(progress) {}

ConsoleScreen::~ConsoleScreen() {
    endProgressLine();
}

void ConsoleScreen::endProgressLine() {
    if (m_lineOpen) {
        m_err << "\n";
        m_err.flush();
        m_lineOpen = false;
    }
}

void ConsoleScreen::print(const QString& text) {
    endProgressLine();
    QString shown = text;
    shown.replace(QChar(13), QChar(10));
    m_out << shown << "\n\n";
    m_out.flush();
}

void ConsoleScreen::showMessage(const QString& text, kiv::screen::Title, kiv::screen::Icon) {
    print(text);
}

bool ConsoleScreen::askYesNo(const QString& text, kiv::screen::Title) {
    print(text);
    if (m_answers == Answers::Yes) {
        return true;
    }
    if (m_answers == Answers::No || !m_in) {
        m_err << "kiv2200: "
              << Texts::tr("answered No, with no terminal to ask at; --yes answers Yes") << "\n";
        m_err.flush();
        return false;
    }
    m_err << "[y/N] ";
    m_err.flush();
    const QString answer = m_in->readLine().trimmed().toLower();
    if (answer != "y" && answer != "yes") {
        m_err << "kiv2200: " << Texts::tr("answered No; --yes answers Yes") << "\n";
        m_err.flush();
        return false;
    }
    return true;
}

void ConsoleScreen::setBusyText(kiv::screen::Tab, const QString& text) {
    if (text.isEmpty() || m_progress == Progress::Quiet) {
        return;
    }
    if (m_progress == Progress::Terminal) {
        // Back to the start of the line, the text, then the rest of the older text erased.
        m_err << "\r" << text << "\x1b[K";
        m_lineOpen = true;
    } else {
        m_err << text << "\n";
    }
    m_err.flush();
}

void ConsoleScreen::setBusyVisible(kiv::screen::Tab, bool visible) {
    if (!visible) {
        endProgressLine();
    }
}

}  // namespace kiv::cli
