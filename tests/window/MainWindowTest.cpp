// The window on a real database file, offscreen: its controls, start-up, the list refreshes and
// the hand-back to the menu program.
#include <gtest/gtest.h>

#include <QCalendarWidget>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "RecordingScreen.h"
#include "WindowFixture.h"
#include "commands/InputChecks.h"

using namespace kiv::window;
using kiv::test::WindowFixture;

TEST(Window, everyControlTheInputChecksFocusIsOnTheWindow) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    // Each rule of each tab's input check broken once; the checks name the control to focus.
    kiv::test::RecordingScreen screen;
    const QDate today = f.clock.today();
    const kiv::store::ListChoice none{"", std::nullopt};
    const kiv::store::ListChoice oldDay{"115/12/07", QString("12/07/2026")};
    const kiv::store::ListChoice group{"學費", QString("1")};
    kiv::commands::check_Text({today.addDays(-1), none, false}, today, screen);
    kiv::commands::check_Text({today, none, false}, today, screen);
    kiv::commands::Check_Text2({none, none}, screen);
    kiv::commands::Check_Text2({oldDay, none}, screen);
    for (auto check : {kiv::commands::Check_Text3, kiv::commands::Check_Text4}) {
        check({none, none, today}, today, screen);
        check({oldDay, none, today}, today, screen);
        check({oldDay, group, today.addDays(-1)}, today, screen);
        check({oldDay, group, today}, today, screen);
    }
    QStringList focused;
    for (const QString& call : screen.calls()) {
        if (call.startsWith("focus ")) {
            focused << call.mid(6);
        }
    }
    EXPECT_EQ(focused.size(), 12);
    for (const QString& name : focused) {
        EXPECT_NE(f.control<QWidget>(name), nullptr) << name.toStdString();
    }
}

TEST(Window, tabLabelsAreDarkRedAndBusyLabelsHidden) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    for (const char* name :
         {"Label5", "Label8", "Label3", "Label9", "Label12", "Label4", "Label13"}) {
        EXPECT_EQ(f.control<QLabel>(name)->palette().color(QPalette::WindowText), QColor(128, 0, 0))
            << name;
    }
    for (const char* name : {"Label4", "Label6", "Label10", "Label13"}) {
        EXPECT_FALSE(f.control<QLabel>(name)->isVisible()) << name;
    }
}

TEST(StartUp, setsTheCaptionTheCalendarsAndTheGroupListOnly) {
    WindowFixture f;
    f.base.addGroup(3, "午餐費");
    f.base.addGroup(1, "學費");
    f.base.addGroup(2, QVariant());
    f.base.addHeader("2026-12-20", 1);
    ASSERT_TRUE(f.start("x/y/z"));
    EXPECT_EQ(f.window->windowTitle(), "Feltrane(" + f.base.path() + ")");
    EXPECT_EQ(f.window->baseFolder(), f.base.path());
    EXPECT_EQ(f.window->launchFields().handBack(), "x/y/z");
    for (const char* name : {"CC_TranDay", "CC_TranDay3", "CC_TranDay4"}) {
        EXPECT_EQ(f.control<QCalendarWidget>(name)->selectedDate(), QDate(2026, 12, 7)) << name;
    }
    const auto groups = f.control<DropDownList>("CBO_GrpID")->entries();
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0], (kiv::store::ListEntry{"學費", "1"}));
    EXPECT_EQ(groups[1], (kiv::store::ListEntry{"", "2"}));
    EXPECT_EQ(groups[2], (kiv::store::ListEntry{"午餐費", "3"}));
    for (const char* name : {"CBO_TranDay", "CBO_GrpID2", "CBO_GrpID3", "CBO_TranDay3",
                             "CBO_GrpID4", "CBO_TranDay4"}) {
        EXPECT_EQ(f.control<DropDownList>(name)->count(), 0) << name;
        EXPECT_EQ(f.control<DropDownList>(name)->currentText(), "") << name;
    }
    EXPECT_TRUE(f.boxes.seen().isEmpty());
}

TEST(StartUp, endsWithoutAWindowOrMessageOnAnEmptyCommandLine) {
    WindowFixture f;
    EXPECT_FALSE(f.start(""));
    QTest::qWait(30);
    EXPECT_TRUE(f.boxes.seen().isEmpty());
}

TEST(StartUp, aCommandLineWithFewerThanTwoSlashesShowsD001) {
    for (const char* line : {"a/b", "abc"}) {
        WindowFixture f;
        EXPECT_FALSE(f.start(line));
        EXPECT_EQ(f.boxes.seen(), QStringList{"Feltrane|D001"}) << line;
    }
}

TEST(StartUp, aProgramFolderShorterThanFourCharactersShowsD001) {
    WindowFixture f;
    MainWindow w(f.clock);
    EXPECT_FALSE(w.Form_Load("a/b/c", "/ab"));
    EXPECT_EQ(f.boxes.seen(), QStringList{"Feltrane|D001"});
}

TEST(StartUp, aGroupListThatCannotBeReadShowsItsErrorAndStepAndEnds) {
    WindowFixture f;
    QApplication::setApplicationName("Kiv2200P1");
    QFile::remove(f.base.dbFile());
    EXPECT_FALSE(f.start());
    ASSERT_EQ(f.boxes.seen().size(), 1);
    EXPECT_TRUE(f.boxes.seen()[0].startsWith("Kiv2200P1|")) << f.boxes.seen()[0].toStdString();
    EXPECT_TRUE(f.boxes.seen()[0].endsWith("AS001")) << f.boxes.seen()[0].toStdString();
}

TEST(StartUp, anUnnamedGroupDoesNotStopTheProgram) {
    WindowFixture f;
    f.base.addGroup(7, QVariant());
    ASSERT_TRUE(f.start());
    EXPECT_EQ(f.control<DropDownList>("CBO_GrpID")->count(), 1);
}

TEST(Lists, theGenerateGroupListKeepsItsStartUpContents) {
    WindowFixture f;
    f.base.addGroup(1, "學費");
    ASSERT_TRUE(f.start());
    f.base.addGroup(2, "新群組");
    auto* list = f.control<DropDownList>("CBO_GrpID");
    list->showPopup();
    list->hidePopup();
    EXPECT_EQ(list->count(), 1);
}

TEST(Lists, theOtherListsRefillEachTimeTheyOpen) {
    WindowFixture f;
    f.base.addGroup(1, " 學費 ");
    f.base.addHeader("2026-12-20", 1);
    ASSERT_TRUE(f.start());
    auto* dates = f.control<DropDownList>("CBO_TranDay");
    auto* groups2 = f.control<DropDownList>("CBO_GrpID2");
    auto* groups3 = f.control<DropDownList>("CBO_GrpID3");
    auto* dates3 = f.control<DropDownList>("CBO_TranDay3");

    dates->showPopup();
    dates->hidePopup();
    ASSERT_EQ(dates->count(), 1);
    EXPECT_EQ(dates->itemText(0), "115/12/20");
    dates->setCurrentIndex(0);
    groups2->showPopup();
    groups2->hidePopup();
    EXPECT_EQ(groups2->entries(), (std::vector<kiv::store::ListEntry>{{"學費", "1"}}));

    // A batch written elsewhere shows up the next time the lists open.
    f.base.addHeader("2026-12-27", 1);
    f.base.addHeader("2026-12-27", 4);
    dates->showPopup();
    dates->hidePopup();
    EXPECT_EQ(dates->count(), 2);
    EXPECT_EQ(dates->itemText(0), "115/12/27");

    // The apply tab's dates follow its group; with no group text the date list stays as it is.
    dates3->showPopup();
    dates3->hidePopup();
    EXPECT_EQ(dates3->count(), 0);
    groups3->showPopup();
    groups3->hidePopup();
    EXPECT_EQ(groups3->entries(),
              (std::vector<kiv::store::ListEntry>{{"1:學費", "1"}, {"4:", "4"}}));
    groups3->setCurrentIndex(1);
    dates3->showPopup();
    dates3->hidePopup();
    EXPECT_EQ(dates3->entries(), (std::vector<kiv::store::ListEntry>{{"115/12/27", "12/27/2026"}}));
}

namespace {
// A stand-in for the menu program that records the argument it was started with.
void writeMenuDouble(const QString& base, const QString& record) {
    QDir().mkpath(base + "/exe");
    const QString path = base + "/exe/Kiv0000P1";
    QFile script(path);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(
        QString("#!/bin/sh\nprintf '%s|%s\\n' \"$#\" \"$1\" >> '%1'\n").arg(record).toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
}  // namespace

TEST(Exit, startsTheMenuProgramWithTheThreeFieldsWaitsTwoSecondsThenEnds) {
    WindowFixture f;
    const QString record = f.base.path() + "/menu-started.txt";
    writeMenuDouble(f.base.path(), record);
    ASSERT_TRUE(f.start("a/b/c/d"));
    QSignalSpy ended(f.window.get(), &MainWindow::programEnded);
    // A second exit pressed during the wait must not start the menu program again.
    QTimer::singleShot(300, f.window.get(), [&] {
        EXPECT_TRUE(f.window->commandRunning());
        f.control<QPushButton>("Cmd_exit")->click();
    });
    f.window->SSTab1()->setCurrentIndex(2);
    QElapsedTimer t;
    t.start();
    f.control<QPushButton>("Cmd_exit3")->click();
    const qint64 waited = t.elapsed();
    EXPECT_GE(waited, 2000);
    EXPECT_LT(waited, 4000);
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(f.window->isVisible());
    QTest::qWait(100);
    QFile file(record);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), "1|a/b/c\n");
}

TEST(Exit, aMenuProgramThatCannotStartShowsTheErrorAndTheWindowStays) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    QSignalSpy ended(f.window.get(), &MainWindow::programEnded);
    f.control<QPushButton>("Cmd_exit2")->click();
    EXPECT_EQ(ended.count(), 0);
    EXPECT_TRUE(f.window->isVisible());
    EXPECT_FALSE(f.window->commandRunning());
    ASSERT_EQ(f.boxes.seen().size(), 1);
    EXPECT_TRUE(f.boxes.seen()[0].startsWith("Feltrane|"));
    EXPECT_GT(f.boxes.seen()[0].size(), QString("Feltrane|").size());
}
