#pragma once
// The window KIV2200F1: the header, the four tabs, start-up, the list refreshes, the keyboard
// shortcuts and the hand-back to the menu program. It is also the screen through which the tab
// commands talk to the clerk. It owns the launch fields and the base folder; the commands
// themselves live outside it. No close request ends it while a command runs.

#include <QHash>
#include <QWidget>

#include "commands/Clock.h"
#include "commands/LaunchFields.h"
#include "commands/PacedScreen.h"
#include "commands/TabPipelines.h"
#include "screen/Screen.h"
#include "window/DeleteTab.h"
#include "window/GenerateTab.h"
#include "window/ReissueTab.h"

class QLabel;
class QTabWidget;
class QGroupBox;

namespace kiv::window {

class MainWindow : public QWidget, public kiv::screen::Screen {
    Q_OBJECT
public:
    explicit MainWindow(const commands::Clock& clock, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up. False when the program must end (nothing to show); any message was shown.
    bool start(const QString& commandLine, const QString& programFolder);

    QTabWidget* tabs() const { return m_tabs; }

    // The screen, shown with widgets.
    void showMessage(const QString& text, kiv::screen::Title title,
                     kiv::screen::Icon icon) override;
    bool askYesNo(const QString& text, kiv::screen::Title title) override;
    void setBusyText(kiv::screen::Tab tab, const QString& text) override;
    void setBusyVisible(kiv::screen::Tab tab, bool visible) override;
    void setConfirmEnabled(kiv::screen::Tab tab, bool enabled) override;
    void setBusyPointer(bool busy) override;
    void setFocus(kiv::screen::Field field) override;
    void processEvents() override;

    // Alt+S and Alt+E on the current tab; true when the key was a shortcut and was used.
    bool handleShortcut(int keyCode, int shiftState);

public slots:
    void confirmGenerate();
    void confirmDelete();
    void confirmApply();
    void confirmRecollect();
    // Every tab's exit button: hands back to the menu program and ends.
    void exitToMenu();

signals:
    // The window has handed back to the menu program and closed: the program ends.
    void programEnded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The window manager's close request.
    void closeEvent(QCloseEvent* event) override;

private:
    commands::CommandContext context();
    void resetInputs();
    bool fillGroupListAtStartUp();
    void connectDropDowns();
    void applyFill(DropDownList* list, const commands::ListFill& fill);
    // Shows why a list with nothing chosen could not be read, when it could not; true if shown.
    bool reportUnreadList(std::initializer_list<DropDownList*> lists);
    // Alt+Down and Alt+Up open the list that has the focus; true when the key was one of them.
    bool openListByKey(QObject* watched, int keyCode, int shiftState);
    void startAndEnd(const QString& prog_name);
    // Starts a program of the package with the launch fields; a box says why when it cannot.
    bool startProgram(const QString& prog_name);
    void waitSeconds(int seconds);
    QLabel* busyLabel(kiv::screen::Tab tab) const;
    QWidget* confirmButton(kiv::screen::Tab tab) const;

    const commands::Clock& m_clock;
    // The commands talk to the window through this: counts and repaints at most 20 times a
    // second, so that a long batch is not spent repainting the busy label.
    commands::SteadyTicker m_ticker;
    commands::PacedScreen m_paced{*this, m_ticker, std::chrono::milliseconds(50)};
    commands::LaunchFields m_fields;
    QString m_base;
    QString m_step;
    bool m_commandRunning = false;
    QHash<DropDownList*, QString> m_unreadLists;  // the last fill of each failed: why
    bool m_pointerBusy = false;

    QGroupBox* m_frame = nullptr;
    QTabWidget* m_tabs = nullptr;
    GenerateTab* m_tab0 = nullptr;
    DeleteTab* m_tab1 = nullptr;
    ReissueTab* m_tab2 = nullptr;
    ReissueTab* m_tab3 = nullptr;
};

}  // namespace kiv::window
