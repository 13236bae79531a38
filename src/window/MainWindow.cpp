#include "window/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "commands/PackageFolders.h"
#include "commands/TabLists.h"
#include "commands/TabPipelines.h"
#include "window/EmptyCaption.h"

namespace kiv::window {

using kiv::screen::Icon;
using kiv::screen::Tab;
using kiv::screen::Title;

namespace {

// Marks a command as running for its whole length, so that no other command starts meanwhile
// (its message boxes and event processing let buttons and shortcuts through otherwise).
class CommandGuard {
public:
    explicit CommandGuard(bool& running) : m_running(running), m_acquired(!running) {
        m_running = true;
    }
    ~CommandGuard() {
        if (m_acquired) {
            m_running = false;
        }
    }
    bool acquired() const { return m_acquired; }

private:
    bool& m_running;
    bool m_acquired;
};

}  // namespace

MainWindow::MainWindow(const commands::Clock& clock, QWidget* parent)
    : QWidget(parent), m_clock(clock) {
    setObjectName("KIV2200F1");
    m_frame = new QGroupBox("程式代號 KIV2200", this);
    m_frame->setObjectName("fra_00");
    auto* nameLabel = new QLabel("程式名稱", m_frame);
    nameLabel->setObjectName("lbl_00");
    auto* programName = new QLabel("轉帳\\臨櫃資料整批作業", m_frame);
    programName->setObjectName("lbl_01");
    QFont big = programName->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    big.setBold(true);
    programName->setFont(big);

    m_tabs = new QTabWidget(m_frame);
    m_tabs->setObjectName("SSTab1");
    m_tab0 = new GenerateTab;
    m_tab1 = new DeleteTab;
    m_tab2 = new ReissueTab(ReissueTab::applyNames());
    m_tab3 = new ReissueTab(ReissueTab::recollectNames());
    m_tabs->addTab(m_tab0, "產生");
    m_tabs->addTab(m_tab1, "刪除");
    m_tabs->addTab(m_tab2, "套用");
    m_tabs->addTab(m_tab3, "補收轉帳不成功");

    auto* header = new QHBoxLayout;
    header->addWidget(nameLabel);
    header->addWidget(programName);
    header->addStretch(1);
    auto* inside = new QVBoxLayout(m_frame);
    inside->addLayout(header);
    inside->addWidget(m_tabs, 1);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(m_frame);

    connect(m_tab0->buttons.confirm, &QPushButton::clicked, this, &MainWindow::confirmGenerate);
    connect(m_tab1->buttons.confirm, &QPushButton::clicked, this, &MainWindow::confirmDelete);
    connect(m_tab2->buttons.confirm, &QPushButton::clicked, this, &MainWindow::confirmApply);
    connect(m_tab3->buttons.confirm, &QPushButton::clicked, this, &MainWindow::confirmRecollect);
    connect(m_tab0->buttons.exit, &QPushButton::clicked, this, &MainWindow::exitToMenu);
    connect(m_tab1->buttons.exit, &QPushButton::clicked, this, &MainWindow::exitToMenu);
    connect(m_tab2->buttons.exit, &QPushButton::clicked, this, &MainWindow::exitToMenu);
    connect(m_tab3->buttons.exit, &QPushButton::clicked, this, &MainWindow::exitToMenu);
    connectDropDowns();

    // The window sees every key before the focused control: an editable list would otherwise
    // take Alt+S as text.
    qApp->installEventFilter(this);
    resize(720, 560);
}

MainWindow::~MainWindow() {
    if (m_pointerBusy) {
        QApplication::restoreOverrideCursor();
    }
}

bool MainWindow::start(const QString& commandLine, const QString& programFolder) {
    m_step = "D001";
    const commands::CommandLine parsed = commands::splitCommandLine(commandLine);
    if (parsed.outcome == commands::CommandLine::Outcome::Empty) {
        return false;
    }
    const std::optional<QString> base = commands::baseFolderOf(programFolder);
    if (parsed.outcome == commands::CommandLine::Outcome::Malformed || !base) {
        showMessage(m_step, Title::Application, Icon::None);
        return false;
    }
    m_fields = parsed.fields;
    m_base = *base;
    setWindowTitle("Feltrane(" + m_base + ")");
    resetInputs();
    m_tabs->setCurrentIndex(0);
    return fillGroupListAtStartUp();
}

void MainWindow::resetInputs() {
    for (DropDownList* list : {m_tab0->CBO_GrpID, m_tab1->CBO_GrpID2, m_tab2->groupList,
                               m_tab2->dateList, m_tab3->groupList, m_tab3->dateList}) {
        list->setEditText(QString());
    }
    const QDate today = m_clock.today();
    for (QCalendarWidget* c : {m_tab0->CC_TranDay, m_tab2->calendar, m_tab3->calendar}) {
        c->setSelectedDate(today);
    }
}

bool MainWindow::fillGroupListAtStartUp() {
    const commands::ListFill fill =
        commands::readTabList(m_base, Tab::Generate, commands::ListKind::Groups, {}, {}, &m_step);
    if (fill.cleared) {
        m_tab0->CBO_GrpID->setEntries(fill.entries);
    }
    if (!fill.status.ok) {
        showMessage(commands::withStepCode(fill.status.description, m_step), Title::Default,
                    Icon::None);
        return false;
    }
    return true;
}

void MainWindow::applyFill(DropDownList* list, const commands::ListFill& fill) {
    if (fill.cleared) {
        list->setEntries(fill.entries);
    }
    // A database that cannot be read is told as such, not shown as an empty list; a command
    // started with nothing chosen there tells it again.
    if (fill.readFailed) {
        m_unreadLists.insert(list, fill.status.description);
        list->holdPopup();
        showMessage(fill.status.description, Title::Default, Icon::None);
    } else {
        m_unreadLists.remove(list);
    }
}

bool MainWindow::reportUnreadList(std::initializer_list<DropDownList*> lists) {
    for (DropDownList* list : lists) {
        if (!list->chosenKey() && m_unreadLists.contains(list)) {
            showMessage(m_unreadLists.value(list), Title::Default, Icon::None);
            return true;
        }
    }
    return false;
}

void MainWindow::connectDropDowns() {
    using commands::ListKind;
    // Every list but tab 產生's groups is read again each time it opens; tab 產生's is read once,
    // at start-up.
    const struct {
        DropDownList* list;
        Tab tab;
        ListKind kind;
        DropDownList* chosenIn;  // the list it depends on, if any
    } lists[] = {
        {m_tab1->CBO_TranDay, Tab::Delete, ListKind::Dates, nullptr},
        {m_tab1->CBO_GrpID2, Tab::Delete, ListKind::Groups, m_tab1->CBO_TranDay},
        {m_tab2->groupList, Tab::Apply, ListKind::Groups, nullptr},
        {m_tab2->dateList, Tab::Apply, ListKind::Dates, m_tab2->groupList},
        {m_tab3->groupList, Tab::Recollect, ListKind::Groups, nullptr},
        {m_tab3->dateList, Tab::Recollect, ListKind::Dates, m_tab3->groupList},
    };
    for (const auto& l : lists) {
        connect(l.list, &DropDownList::aboutToDropDown, this, [this, l] {
            applyFill(l.list, commands::readTabList(
                                  m_base, l.tab, l.kind,
                                  l.chosenIn ? l.chosenIn->choice() : commands::ListChoice{}));
        });
    }
}

// ---- the screen ----

namespace {

QString captionOf(Title title) {
    switch (title) {
        case Title::Application:
            return kiv::screen::kApplicationTitle;
        case Title::Default:
            return QCoreApplication::applicationName();
        case Title::Empty:
            break;
    }
    return {};
}

// The parts of a message are joined by carriage returns, which a label shows as line breaks.
QString shownText(const QString& text) {
    return QString(text).replace(QChar(13), QChar(10));
}

}  // namespace

void MainWindow::showMessage(const QString& text, Title title, Icon icon) {
    QMessageBox box(icon == Icon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon,
                    captionOf(title), shownText(text), QMessageBox::Ok, this);
    if (title == Title::Empty)
        keepCaptionEmpty(box);
    box.exec();
}

bool MainWindow::askYesNo(const QString& text, Title title) {
    QMessageBox box(QMessageBox::NoIcon, captionOf(title), shownText(text),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::Yes);
    if (title == Title::Empty)
        keepCaptionEmpty(box);
    return box.exec() == QMessageBox::Yes;
}

QLabel* MainWindow::busyLabel(Tab tab) const {
    switch (tab) {
        case Tab::Generate:
            return m_tab0->buttons.busy;
        case Tab::Delete:
            return m_tab1->buttons.busy;
        case Tab::Apply:
            return m_tab2->buttons.busy;
        case Tab::Recollect:
            return m_tab3->buttons.busy;
    }
    return nullptr;
}

QWidget* MainWindow::confirmButton(Tab tab) const {
    switch (tab) {
        case Tab::Generate:
            return m_tab0->buttons.confirm;
        case Tab::Delete:
            return m_tab1->buttons.confirm;
        case Tab::Apply:
            return m_tab2->buttons.confirm;
        case Tab::Recollect:
            return m_tab3->buttons.confirm;
    }
    return nullptr;
}

void MainWindow::setBusyText(Tab tab, const QString& text) {
    busyLabel(tab)->setText(text);
}

void MainWindow::setBusyVisible(Tab tab, bool visible) {
    busyLabel(tab)->setVisible(visible);
}

void MainWindow::setConfirmEnabled(Tab tab, bool enabled) {
    confirmButton(tab)->setEnabled(enabled);
}

void MainWindow::setBusyPointer(bool busy) {
    if (busy == m_pointerBusy) {
        return;
    }
    m_pointerBusy = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void MainWindow::setFocus(kiv::screen::Field field) {
    QWidget* const controls[] = {m_tab0->CC_TranDay, m_tab0->CBO_GrpID, m_tab1->CBO_TranDay,
                                 m_tab1->CBO_GrpID2, m_tab2->dateList,  m_tab2->groupList,
                                 m_tab2->calendar,   m_tab3->dateList,  m_tab3->groupList,
                                 m_tab3->calendar};
    controls[int(field)]->setFocus(Qt::OtherFocusReason);
}

void MainWindow::processEvents() {
    QCoreApplication::processEvents();
}

// ---- keys ----

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers m = key->modifiers();
        const int shiftState = (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
                               (m & Qt::AltModifier ? 4 : 0);
        if (handleShortcut(key->key(), shiftState) ||
            openListByKey(watched, key->key(), shiftState)) {
            return true;
        }
        // Any other Alt combination does nothing: it must not type into a list.
        if (m & Qt::AltModifier) {
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool MainWindow::handleShortcut(int keyCode, int shiftState) {
    if (shiftState != 4 || (keyCode != Qt::Key_S && keyCode != Qt::Key_E)) {
        return false;
    }
    if (keyCode == Qt::Key_E) {
        exitToMenu();
        return true;
    }
    void (MainWindow::*const confirm[])() = {&MainWindow::confirmGenerate,
                                             &MainWindow::confirmDelete, &MainWindow::confirmApply,
                                             &MainWindow::confirmRecollect};
    (this->*confirm[m_tabs->currentIndex()])();
    return true;
}

bool MainWindow::openListByKey(QObject* watched, int keyCode, int shiftState) {
    if (shiftState != 4 || (keyCode != Qt::Key_Down && keyCode != Qt::Key_Up)) {
        return false;
    }
    // The key reaches the list itself or the line edit of its text.
    auto* list = qobject_cast<DropDownList*>(watched);
    if (!list && watched->parent()) {
        list = qobject_cast<DropDownList*>(watched->parent());
    }
    if (list) {
        list->showPopup();
    }
    return list != nullptr;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Refused while a command runs, as Alt+E is: the batch is still being written, and its
    // summary, its success box and the hand-back to the menu program are still to come.
    if (m_commandRunning) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

// ---- commands ----

commands::CommandContext MainWindow::context() {
    return {m_base, m_clock.today(), m_paced};
}

void MainWindow::confirmGenerate() {
    CommandGuard guard(m_commandRunning);
    if (guard.acquired()) {
        commands::runGenerate(context(),
                              {m_tab0->CC_TranDay->selectedDate(), m_tab0->CBO_GrpID->choice(),
                               m_tab0->Chk_DL->isChecked()});
    }
}

void MainWindow::confirmDelete() {
    CommandGuard guard(m_commandRunning);
    if (guard.acquired() && !reportUnreadList({m_tab1->CBO_TranDay, m_tab1->CBO_GrpID2}) &&
        commands::runDelete(context(), {m_tab1->CBO_TranDay->choice(),
                                        m_tab1->CBO_GrpID2->choice()}) == commands::Outcome::Done) {
        // The deleted batch must not stay choosable; the lists refill when next opened.
        m_tab1->CBO_TranDay->clearAll();
        m_tab1->CBO_GrpID2->clearAll();
    }
}

void MainWindow::confirmApply() {
    CommandGuard guard(m_commandRunning);
    if (guard.acquired() && !reportUnreadList({m_tab2->dateList, m_tab2->groupList})) {
        commands::runApply(context(), {m_tab2->dateList->choice(), m_tab2->groupList->choice(),
                                       m_tab2->calendar->selectedDate()});
    }
}

void MainWindow::confirmRecollect() {
    CommandGuard guard(m_commandRunning);
    if (guard.acquired() && !reportUnreadList({m_tab3->dateList, m_tab3->groupList})) {
        commands::runRecollect(context(), {m_tab3->dateList->choice(), m_tab3->groupList->choice(),
                                           m_tab3->calendar->selectedDate()});
    }
}

void MainWindow::exitToMenu() {
    startAndEnd(commands::kMenuProgram);
}

void MainWindow::startAndEnd(const QString& prog_name) {
    {
        // Nothing else starts, and the window is not closed, until the wait is over.
        CommandGuard guard(m_commandRunning);
        if (!guard.acquired() || !startProgram(prog_name)) {
            return;
        }
        waitSeconds(2);
    }
    close();
    emit programEnded();
}

bool MainWindow::startProgram(const QString& prog_name) {
    QProcess process;
    process.setProgram(commands::packageProgramPath(m_base, prog_name));
    process.setArguments({m_fields.handBack()});
    process.setWorkingDirectory(commands::programFolder(m_base));
    qint64 pid = 0;
    if (!process.startDetached(&pid)) {
        showMessage(process.errorString(), Title::Application, Icon::None);
        return false;
    }
    return true;
}

void MainWindow::waitSeconds(int seconds) {
    // A monotonic clock: the wait is the same length across midnight or a change of the time.
    QElapsedTimer elapsed;
    elapsed.start();
    const qint64 total = qint64(seconds) * 1000;
    while (elapsed.elapsed() < total) {
        QEventLoop loop;
        QTimer::singleShot(int(total - elapsed.elapsed()), &loop, &QEventLoop::quit);
        loop.exec();
    }
}

}  // namespace kiv::window
