// The window's wiring offscreen: start-up, list refills, key filters, commands started, hand-back.
#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

#include "TestBase.h"
#include "TestClocks.h"
#include "demo/DemoSchool.h"
#include "window/DisplayCheck.h"
#include "window/MainWindow.h"
#include "window/Translations.h"

using namespace kiv::window;
using Entries = std::vector<kiv::store::ListEntry>;

namespace {

// A window as the menu program starts it, today fixed; boxes are recorded and closed (No).
struct Fixture {
    kiv::test::TestBase base;
    const QDate today = kiv::test::kToday;
    QStringList boxes;
    QStringList buttons;                         // of the last box
    std::function<void()> whileBoxOpen = [] {};  // run once, with the next box still open
    QTimer poll;
    std::unique_ptr<MainWindow> window;

    Fixture() {
        QObject::connect(&poll, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box && box->isVisible()) {
                boxes << box->windowTitle() + "|" + box->text();
                buttons.clear();
                for (const QAbstractButton* b : box->buttons()) {
                    buttons << b->text();
                }
                std::exchange(whileBoxOpen, [] {})();
                box->reject();
            }
        });
        poll.start(10);
    }
    bool start(const QString& line = "a/b/c", const QString& folder = {}) {
        window = std::make_unique<MainWindow>(kiv::test::kTodayClock);
        const bool ok = window->start(line, folder.isEmpty() ? base.path() + "/exe" : folder);
        window->setVisible(ok);
        QApplication::processEvents();
        return ok;
    }
    template <typename T = DropDownList>
    T* get(const QString& name) const {
        return window->findChild<T*>(name);
    }
    DropDownList* open(const char* list) {
        get(list)->showPopup();
        get(list)->hidePopup();
        return get(list);
    }
    // Opens a list and chooses the entry with `key`, or the first one.
    void choose(const char* list, const QString& key = {}) {
        open(list);
        const int i = key.isEmpty() ? 0 : get(list)->findData(key);
        ASSERT_TRUE(i >= 0 && i < get(list)->count()) << list;
        get(list)->setCurrentIndex(i);
    }
    // Puts the real focus in a list of a tab, as the clerk clicks into it.
    QWidget* focus(int tab, const char* list) {
        window->tabs()->setCurrentIndex(tab);
        QApplication::setActiveWindow(window.get());
        get(list)->setFocus();
        QApplication::processEvents();
        QWidget* w = QApplication::focusWidget();
        EXPECT_TRUE(w == get(list) || w == get(list)->lineEdit()) << list;
        return w;
    }
    void alt(int tab, const char* list, Qt::Key key) {
        QTest::keyClick(focus(tab, list), key, Qt::AltModifier);
    }
    // The window manager's close request (its ✕); true when the window accepted it.
    bool requestClose() const {
        QCloseEvent close;
        QCoreApplication::sendEvent(window->windowHandle(), &close);
        return close.isAccepted();
    }
    // The batch headers `days` after today, of `group` or of every group.
    int headers(int days, int group = 0) const {
        const QString of = group ? QString(" and Grpid=%1").arg(group) : QString();
        return base
            .scalar("select count(*) from KIV10_Agency where TranDay=?" + of,
                    {today.addDays(days).toString(Qt::ISODate)})
            .toInt();
    }
};

// Each tab's confirm and exit buttons, busy label, group list, old-date list and calendar.
struct TabControls {
    int tab;
    const char *confirm, *exit, *label, *groups, *dates, *calendar;
};
const TabControls kTabs[] = {
    {0, "cmd_confirm", "Cmd_exit", "Label4", "CBO_GrpID", nullptr, "CC_TranDay"},
    {1, "Cmd_confirm2", "Cmd_exit2", "Label6", "CBO_GrpID2", "CBO_TranDay", nullptr},
    {2, "cmd_confirm3", "Cmd_exit3", "Label10", "CBO_GrpID3", "CBO_TranDay3", "CC_TranDay3"},
    {3, "cmd_confirm4", "Cmd_exit4", "Label13", "CBO_GrpID4", "CBO_TranDay4", "CC_TranDay4"}};

// The disabled confirm buttons and the shown busy labels of all tabs.
QStringList busyControls(const Fixture& f) {
    QStringList out;
    for (const TabControls& t : kTabs) {
        out << (f.get<QPushButton>(t.confirm)->isEnabled() ? "" : t.confirm)
            << (f.get<QLabel>(t.label)->isHidden() ? "" : t.label);
    }
    out.removeAll("");
    return out;
}

}  // namespace

TEST(StartUp, fillsOnlyTheGenerateGroupListTheOthersRefillEachTimeTheyOpen) {
    Fixture f;
    f.base.addGroup(3, "午餐費");
    f.base.addGroup(1, " 學費 ");
    f.base.addGroup(2, QVariant());  // an unnamed group does not stop the program
    f.base.addHeader("2026-12-20", 1);
    f.base.addHeader("2026-12-20", 2);
    ASSERT_TRUE(f.start("x/y/z"));
    EXPECT_EQ(f.window->windowTitle(), "Feltrane(" + f.base.path() + ")");
    for (const char* name : {"CC_TranDay", "CC_TranDay3", "CC_TranDay4"}) {
        EXPECT_EQ(f.get<QCalendarWidget>(name)->selectedDate(), f.today) << name;
    }
    // The unnamed group shows as its id with an empty name in every group list, never empty.
    const Entries groups{{" 學費 ", "1"}, {"2:", "2"}, {"午餐費", "3"}};
    EXPECT_EQ(f.get("CBO_GrpID")->entries(), groups);
    for (const char* name : {"CBO_TranDay", "CBO_GrpID2", "CBO_GrpID3", "CBO_TranDay3",
                             "CBO_GrpID4", "CBO_TranDay4"}) {
        EXPECT_TRUE(f.get(name)->count() == 0 && f.get(name)->currentText() == "") << name;
    }
    EXPECT_TRUE(f.boxes.isEmpty());

    f.base.addGroup(5, "新群組");
    EXPECT_EQ(f.open("CBO_GrpID")->entries(), groups);
    f.choose("CBO_TranDay");
    EXPECT_EQ(f.get("CBO_TranDay")->entries(), (Entries{{"115/12/20", "12/20/2026"}}));
    EXPECT_EQ(f.open("CBO_GrpID2")->entries(), (Entries{{"學費", "1"}, {"2:", "2"}}));
    // A batch written elsewhere shows up the next time the lists open.
    f.base.addHeader("2026-12-27", 1);
    f.base.addHeader("2026-12-27", 4);
    EXPECT_EQ(f.open("CBO_TranDay")->entries(),
              (Entries{{"115/12/27", "12/27/2026"}, {"115/12/20", "12/20/2026"}}));
    // The reissue tabs' dates follow their group; with no group the date list stays as it is.
    for (const TabControls& t : {kTabs[2], kTabs[3]}) {
        EXPECT_EQ(f.open(t.dates)->count(), 0) << t.dates;
        EXPECT_EQ(f.open(t.groups)->entries(),
                  (Entries{{"1:學費", "1"}, {"2:", "2"}, {"4:", "4"}}));
        f.get(t.groups)->setCurrentIndex(2);
        EXPECT_EQ(f.open(t.dates)->entries(), (Entries{{"115/12/27", "12/27/2026"}})) << t.dates;
    }
    // Without a database to read, an opened list stays as it was, closed, and a box says why.
    f.base.loseDatabase();
    for (const TabControls& t : {kTabs[2], kTabs[3]}) {
        f.boxes.clear();
        EXPECT_EQ(f.open(t.groups)->count(), 3) << t.groups;
        EXPECT_EQ(f.open(t.dates)->count(), 1) << t.dates;
        EXPECT_FALSE(f.get(t.dates)->view()->isVisible());
        // The command started with no date chosen says why again, not that a date is needed.
        f.get<QPushButton>(t.confirm)->click();
        const QString missing = "|找不到資料庫檔案 " + f.base.path() + "/mdb/KIV.mdb";
        EXPECT_EQ(f.boxes.filter(QRegularExpression(QRegularExpression::escape(missing) + "$")),
                  f.boxes);
        EXPECT_EQ(f.boxes.size(), 3);
    }
}

TEST(StartUp, endsOnABadCommandLineProgramFolderOrGroupList) {
    QApplication::setApplicationName("Kiv2200P1");
    // The pattern of the boxes shown for each command line and program folder.
    const std::tuple<const char*, const char*, const char*> rows[] = {
        {"", "", ""},
        {"a/b", "", "Feltrane\\|D001"},
        {"a/b/c", "/ab", "Feltrane\\|D001"},
        {"a/b/c", "/nowhere/exe", "Kiv2200P1\\|找不到資料庫檔案 /nowhere/mdb/KIV.mdb \\[AS001\\]"}};
    for (const auto& [line, folder, boxes] : rows) {
        SCOPED_TRACE(std::string(line) + folder);
        Fixture f;
        EXPECT_FALSE(f.start(line, folder));
        QTest::qWait(30);
        const QString shown = f.boxes.join('\n');
        EXPECT_TRUE(QRegularExpression(QString("^%1$").arg(boxes)).match(shown).hasMatch())
            << shown.toStdString();
    }
}

TEST(StartUp, withoutADisplayNamesTheMissingOneAndTheWayOut) {
    // The displays that each choice of Qt's windowing system lacks; none when a window can open.
    const struct {
        const char* name;
        DisplaySettings settings;  // -platform, QT_QPA_PLATFORM, DISPLAY, WAYLAND_DISPLAY
        QStringList missing;
    } rows[] = {
        {"nothing set", {}, {"DISPLAY", "WAYLAND_DISPLAY"}},
        {"Qt's own choice on X11", {{}, {}, ":0", {}}, {}},
        {"Qt's own choice on Wayland", {{}, {}, {}, "wayland-0"}, {}},
        {"xcb, Wayland's display only", {{}, "xcb", {}, "wayland-0"}, {"DISPLAY"}},
        {"xcb with options", {{}, "xcb:nograb", ":1", {}}, {}},
        {"wayland-egl, X11's display only", {{}, "wayland-egl", ":0", {}}, {"WAYLAND_DISPLAY"}},
        {"a list whose second has its display", {{}, "wayland;xcb", ":0", {}}, {}},
        {"a list of which none has", {{}, "wayland;xcb", {}, {}}, {"DISPLAY", "WAYLAND_DISPLAY"}},
        {"offscreen", {{}, "offscreen", {}, {}}, {}},
        {"-platform before QT_QPA_PLATFORM", {"offscreen", "xcb", {}, {}}, {}},
        {"-platform xcb without DISPLAY", {"xcb", "offscreen", {}, "wayland-0"}, {"DISPLAY"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString message = missingDisplayMessage("Kiv2200P1", row.settings);
        if (row.missing.isEmpty()) {
            EXPECT_EQ(message, "");
            continue;
        }
        // One line in English, one in Traditional Chinese, each whole.
        const QStringList lines = message.split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 2) << message.toStdString();
        for (const QString& line : lines) {
            EXPECT_TRUE(line.startsWith("Kiv2200P1") && line.contains("Xvfb") &&
                        line.contains("QT_QPA_PLATFORM=offscreen"))
                << line.toStdString();
            for (const QString variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
                EXPECT_EQ(line.contains(QRegularExpression("\\b" + variable + "\\b")),
                          row.missing.contains(variable))
                    << line.toStdString();
            }
        }
    }
    // -platform is read from the command line, as Qt reads it.
    char program[] = "Kiv2200P1", option[] = "-platform", name[] = "offscreen", fields[] = "a/b/c";
    char* argv[] = {program, option, name, fields};
    EXPECT_EQ(displaySettings(4, argv).platformOption, "offscreen");
    EXPECT_EQ(displaySettings(2, argv).platformOption, "");
}

TEST(Controls, keyFiltersAndWhatEachButtonAndAltKeyStart) {
    Fixture f;
    f.base.addGroup(1, "學費");
    f.base.addHeader("2026-12-07", 1);
    ASSERT_TRUE(f.start());
    // Alt+Down and Alt+Up open the focused list, read afresh (but tab 0's); Alt+Shift+Down does
    // not. Each list is taken after the one it depends on, whose first entry is then chosen.
    const std::pair<int, const char*> lists[] = {
        {0, "CBO_GrpID"},    {1, "CBO_TranDay"}, {1, "CBO_GrpID2"},  {2, "CBO_GrpID3"},
        {2, "CBO_TranDay3"}, {3, "CBO_GrpID4"},  {3, "CBO_TranDay4"}};
    for (const auto& [tab, name] : lists) {
        DropDownList* list = f.get(name);
        QTest::keyClick(f.focus(tab, name), Qt::Key_Down, Qt::AltModifier | Qt::ShiftModifier);
        EXPECT_FALSE(list->view()->isVisible()) << name;
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Up}) {
            if (tab > 0) {
                list->clearAll();
            }
            f.alt(tab, name, key);
            EXPECT_TRUE(list->view()->isVisible() && list->count() == 1) << name << " " << key;
            list->hidePopup();
            QApplication::processEvents();
        }
        list->setCurrentIndex(0);
    }
    // An entry with an empty text is never chosen: the field would show nothing.
    DropDownList bare("bare");
    bare.setEntries({{"", "9"}});
    bare.setCurrentIndex(0);
    EXPECT_EQ(bare.chosenKey(), std::nullopt);
    // The lists of tabs 0 and 1 take only "%&'(", drop Backspace and move on at Enter; others type.
    for (const TabControls& t : kTabs) {
        for (const char* list : {t.groups, t.dates ? t.dates : t.groups}) {
            f.get(list)->setEditText("");
            QWidget* w = f.focus(t.tab, list);
            QTest::keyClicks(w, "a1Z %&'(");
            QTest::keyClick(w, Qt::Key_Backspace);
            EXPECT_EQ(f.get(list)->currentText(), t.tab < 2 ? "%&'(" : "a1Z %&'") << list;
            QTest::keyClick(w, Qt::Key_Return);
            QApplication::processEvents();
            const QWidget* now = QApplication::focusWidget();
            EXPECT_EQ(now != w && now != f.get(list), t.tab < 2) << list;
        }
    }
    // Empty inputs stop each command at its input check; without a menu program each exit says
    // why. The busy state while the box is open tells which command ran; Alt+Shift/Ctrl start none.
    QSignalSpy ended(f.window.get(), &MainWindow::programEnded);
    EXPECT_TRUE(busyControls(f).isEmpty());
    for (const TabControls& t : kTabs) {
        for (const Qt::Key key : {Qt::Key_S, Qt::Key_E}) {
            for (const bool byKey : {false, true}) {
                SCOPED_TRACE(std::string(t.groups) + char(key) +
                             (byKey ? " by Alt" : " by button"));
                f.boxes.clear();
                QStringList busy{"no box"};
                f.whileBoxOpen = [&] { busy = busyControls(f); };
                f.get(t.groups)->setEditText("");
                for (const auto other : {Qt::ShiftModifier, Qt::ControlModifier}) {
                    QTest::keyClick(f.focus(t.tab, t.groups), key, Qt::AltModifier | other);
                }
                QTest::keyClick(f.focus(t.tab, t.groups), Qt::Key_X, Qt::AltModifier);
                EXPECT_EQ(f.get(t.groups)->currentText(), "");  // reached no control
                byKey ? f.alt(t.tab, t.groups, key)
                      : f.get<QPushButton>(key == Qt::Key_S ? t.confirm : t.exit)->click();
                ASSERT_EQ(f.boxes.size(), 1);
                EXPECT_TRUE(f.boxes[0].startsWith("Feltrane|") && f.boxes[0].size() > 9);
                const char* shows = t.tab == 1 ? t.label : t.confirm;  // the delete tab differs
                EXPECT_EQ(busy, key == Qt::Key_S ? QStringList{shows} : QStringList{});
                EXPECT_EQ(f.get(t.groups)->currentText(), "");
            }
        }
    }
    EXPECT_TRUE(ended.isEmpty() && f.window->isVisible());
    EXPECT_FALSE(f.window->handleShortcut(Qt::Key_S, 5) || f.window->handleShortcut(Qt::Key_X, 4));
}

TEST(Commands, eachRunsOnItsTabsInputsNoOtherStartsMeanwhileAndExitHandsBack) {
    ASSERT_TRUE(installQtTranslations(*QCoreApplication::instance()));  // 確定, 是, 否
    Fixture f;
    kiv::demo::writeSchool(f.base.path(), {.students = 40});
    ASSERT_TRUE(f.start("a/b/c/d"));
    f.choose("CBO_GrpID");
    // A close request while the batch is written is refused, as Alt+E is: the command ends with
    // its summary and its success box, and the window stays.
    QStringList busyAtClose;
    bool closed = true;
    QTimer::singleShot(0, f.window.get(), [&] {
        busyAtClose = busyControls(f);
        closed = f.requestClose();
    });
    f.get<QPushButton>("cmd_confirm")->click();
    EXPECT_EQ(busyAtClose, (QStringList{"cmd_confirm", "Label4"}));
    EXPECT_FALSE(closed);
    EXPECT_TRUE(f.window->isVisible());
    EXPECT_EQ(f.headers(0), 1);
    ASSERT_EQ(f.boxes.size(), 2);
    EXPECT_TRUE(f.boxes[0].contains("|轉 帳 總 數")) << f.boxes[0].toStdString();
    EXPECT_EQ(f.boxes[1], "Feltrane|新 增 成 功");
    EXPECT_EQ(f.buttons, QStringList{"確定"});
    // The unnamed group is chosen as "5:"; its batch is generated here, deleted on tab 刪除 below.
    const QString unnamed = QString::number(kiv::demo::kUnnamedGroup);
    f.choose("CBO_GrpID", unnamed);
    EXPECT_EQ(f.get("CBO_GrpID")->currentText(), unnamed + ":");
    f.get<QPushButton>("cmd_confirm")->click();
    EXPECT_EQ(f.headers(0, kiv::demo::kUnnamedGroup), 1);
    EXPECT_EQ(f.boxes.last(), "Feltrane|新 增 成 功");
    // Today's batch, its transfers failed, generated again, applied and recollected to new dates.
    f.base.exec("update KIV8_PayMent set FailFac='存款不足' where PreWay='1'");
    for (const auto& [tab, days] : {std::pair{0, 2}, {2, 30}, {3, 14}}) {
        const TabControls& t = kTabs[tab];
        SCOPED_TRACE(t.confirm);
        f.choose(t.groups);
        if (t.dates) {
            f.choose(t.dates, f.today.toString("MM/dd/yyyy"));
        }
        f.get<QCalendarWidget>(t.calendar)->setSelectedDate(f.today.addDays(days));
        f.alt(t.tab, t.groups, Qt::Key_S);
        EXPECT_EQ(f.headers(days), 1);
        // Once more: while the overwrite question (no caption) is open, nothing else starts.
        const qsizetype before = f.boxes.size();
        f.whileBoxOpen = [&] {
            EXPECT_EQ(busyControls(f), (QStringList{t.confirm, t.label}));
            f.window->handleShortcut(Qt::Key_S, 4);
            f.window->handleShortcut(Qt::Key_E, 4);
            EXPECT_FALSE(f.requestClose());
        };
        f.alt(t.tab, t.groups, Qt::Key_S);
        ASSERT_EQ(f.boxes.size(), before + 1);
        EXPECT_TRUE(f.boxes.last().startsWith("|"));
        EXPECT_EQ(f.buttons, (QStringList{"是(&Y)", "否(&N)"}));
        // Emptied, so that a command reading another tab's lists would find nothing.
        for (const char* list : {t.groups, t.dates ? t.dates : t.groups}) {
            f.get(list)->clearAll();
        }
    }
    // Deleting the unnamed group's batch, its group's alone, empties both lists of the tab.
    f.choose("CBO_TranDay", f.today.toString("MM/dd/yyyy"));
    f.choose("CBO_GrpID2", unnamed);
    EXPECT_EQ(f.get("CBO_GrpID2")->currentText(), unnamed + ":");
    f.alt(1, "CBO_GrpID2", Qt::Key_S);
    EXPECT_EQ(f.headers(0, kiv::demo::kUnnamedGroup), 0);
    EXPECT_EQ(f.headers(0), 1);
    EXPECT_EQ(f.boxes.last(), "Feltrane|刪 除 成 功");
    for (const char* name : {"CBO_TranDay", "CBO_GrpID2"}) {
        EXPECT_TRUE(f.get(name)->count() == 0 && f.get(name)->currentText() == "") << name;
    }
    // A stand-in for the menu program records its arguments; a second exit and a close request
    // during the wait are refused, and the window closes once the wait is over.
    QFile menu(f.base.path() + "/exe/Kiv0000P1");
    ASSERT_TRUE(
        QDir().mkpath(f.base.path() + "/exe") &&
        menu.open(QIODevice::WriteOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    menu.write("#!/bin/sh\necho \"$#|$1\" >> \"$0.args\"\n");
    menu.close();
    QSignalSpy ended(f.window.get(), &MainWindow::programEnded);
    bool closedDuringWait = true;
    QTimer::singleShot(300, f.window.get(), [&] {
        closedDuringWait = f.requestClose();
        f.get<QPushButton>("Cmd_exit")->click();
    });
    f.window->tabs()->setCurrentIndex(2);
    QElapsedTimer t;
    t.start();
    f.get<QPushButton>("Cmd_exit3")->click();
    EXPECT_TRUE(t.elapsed() >= 2000 && t.elapsed() < 4000) << t.elapsed();
    EXPECT_FALSE(closedDuringWait);
    EXPECT_TRUE(ended.count() == 1 && !f.window->isVisible());
    QTest::qWait(100);
    QFile args(menu.fileName() + ".args");
    ASSERT_TRUE(args.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(args.readAll()), "1|a/b/c\n");
}
