#pragma once
// What the engines and the tab pipelines need from whoever shows them: messages, the overwrite
// question, each tab's busy label (its steps and its count) and confirm button, the pointer, the
// field that has the focus, and event processing.
// The window implements it with widgets, kiv2200 prints, tests record. Nothing here may block
// except showMessage and askYesNo, which wait for the clerk like a modal box.

#include <QString>

namespace kiv::screen {

// The four tabs of the window, in their order on the tab control.
enum class Tab { Generate = 0, Delete = 1, Apply = 2, Recollect = 3 };

enum class Icon { None, Critical };

// Which caption a message box carries: the application title "Feltrane", the toolkit's default
// caption (the program's name), or an empty caption.
enum class Title { Application, Default, Empty };

inline constexpr const char* kApplicationTitle = "Feltrane";

// The busy text that counts the bills (or students) written so far.
inline QString countText(qint64 count) {
    return QStringLiteral("執行第%1筆").arg(count);
}

// The input fields a check sends the clerk back to, by tab.
enum class Field {
    GenerateDate,
    GenerateGroup,
    DeleteDate,
    DeleteGroup,
    ApplyOldDate,
    ApplyGroup,
    ApplyNewDate,
    RecollectOldDate,
    RecollectGroup,
    RecollectNewDate,
};

class Screen {
public:
    virtual ~Screen() = default;

    // A modal message box with an OK button.
    virtual void showMessage(const QString& text, Title title = Title::Application,
                             Icon icon = Icon::None) = 0;
    // A modal Yes/No question; true for Yes.
    virtual bool askYesNo(const QString& text, Title title) = 0;

    // A step of the command, in the tab's busy label.
    virtual void setBusyText(Tab tab, const QString& text) = 0;
    // How many bills (or students) the command has written so far: the busy text countText(count),
    // at once unless the front-end paces the counts (an engine counts thousands of times a run).
    virtual void setProgress(Tab tab, qint64 count) { setBusyText(tab, countText(count)); }
    virtual void setBusyVisible(Tab tab, bool visible) = 0;
    virtual void setConfirmEnabled(Tab tab, bool enabled) = 0;
    virtual void setBusyPointer(bool busy) = 0;
    // Moves the focus to the field.
    virtual void setFocus(Field field) = 0;
    // Lets the window repaint and handle input that is waiting.
    virtual void processEvents() = 0;
};

}  // namespace kiv::screen
