// The four tab commands started from the window, offscreen: buttons and Alt+S with the real
// focus in a list, Alt with Shift ignored, and no second command while one runs.
#include <gtest/gtest.h>

#include <QCalendarWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "WindowFixture.h"
#include "demo/DemoSchool.h"

using namespace kiv::window;
using kiv::test::WindowFixture;

namespace {

// A window on a small demo school.
struct SchoolWindow : WindowFixture {
    SchoolWindow() {
        kiv::demo::SchoolShape shape;
        shape.students = 40;
        kiv::demo::writeSchool(base.path(), shape);
    }
    void choose(const char* listName, int index) {
        auto* list = control<DropDownList>(listName);
        list->showPopup();
        list->hidePopup();
        ASSERT_GT(list->count(), index) << listName;
        list->setCurrentIndex(index);
    }
    void altS(const char* focusName) {
        auto* list = control<DropDownList>(focusName);
        // Message boxes took the activation; the clerk clicks back into the list.
        QApplication::setActiveWindow(window.get());
        list->setFocus();
        QApplication::processEvents();
        ASSERT_TRUE(QApplication::focusWidget() == list ||
                    QApplication::focusWidget() == list->lineEdit());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::AltModifier);
    }
    int headers(const QDate& d) const {
        return base
            .scalar("select count(*) from KIV10_Agency where TranDay=?", {d.toString("yyyy-MM-dd")})
            .toInt();
    }
    QString lastBox() const { return boxes.seen().isEmpty() ? QString() : boxes.seen().last(); }
};

}  // namespace

TEST(WindowCommands, generateFromTheButtonAndFromAltSInTheGroupList) {
    SchoolWindow f;
    ASSERT_TRUE(f.start());
    f.choose("CBO_GrpID", 0);
    f.control<QPushButton>("cmd_confirm")->click();
    EXPECT_EQ(f.lastBox(), "Feltrane|新 增 成 功");
    EXPECT_EQ(f.headers(f.clock.today()), 1);
    EXPECT_TRUE(f.control<QPushButton>("cmd_confirm")->isEnabled());

    f.control<QCalendarWidget>("CC_TranDay")->setSelectedDate(f.clock.today().addDays(2));
    f.altS("CBO_GrpID");
    EXPECT_EQ(f.lastBox(), "Feltrane|新 增 成 功");
    EXPECT_EQ(f.headers(f.clock.today().addDays(2)), 1);
}

TEST(WindowCommands, altWithShiftDoesNotStartTheCommand) {
    SchoolWindow f;
    ASSERT_TRUE(f.start());
    f.choose("CBO_GrpID", 0);
    auto* list = f.control<DropDownList>("CBO_GrpID");
    list->setFocus();
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::AltModifier | Qt::ShiftModifier);
    QTest::qWait(50);
    EXPECT_TRUE(f.boxes.seen().isEmpty());
    EXPECT_EQ(f.headers(f.clock.today()), 0);
}

TEST(WindowCommands, noSecondCommandStartsWhileOneWaitsForTheClerk) {
    SchoolWindow f;
    ASSERT_TRUE(f.start());
    f.choose("CBO_GrpID", 0);
    f.control<QPushButton>("cmd_confirm")->click();
    ASSERT_EQ(f.lastBox(), "Feltrane|新 增 成 功");
    const qsizetype before = f.boxes.seen().size();
    // While the overwrite question is open, the button, Alt+S and Alt+E are pressed again.
    f.boxes.whileNextBoxIsOpen([&] {
        EXPECT_TRUE(f.window->commandRunning());
        f.window->cmd_confirm_Click();
        f.window->Form_KeyDown(Qt::Key_S, 4);
        f.window->Form_KeyDown(Qt::Key_E, 4);
    });
    f.boxes.answerNext(false);
    f.control<QPushButton>("cmd_confirm")->click();
    EXPECT_EQ(f.boxes.seen().size(), before + 1);  // the one question, nothing more
    EXPECT_FALSE(f.window->commandRunning());
    EXPECT_TRUE(f.window->isVisible());
}

TEST(WindowCommands, deleteEmptiesBothListsAfterItsSuccessMessage) {
    SchoolWindow f;
    ASSERT_TRUE(f.start());
    f.choose("CBO_GrpID", 0);
    f.control<QPushButton>("cmd_confirm")->click();
    ASSERT_EQ(f.headers(f.clock.today()), 1);
    f.window->SSTab1()->setCurrentIndex(1);
    f.choose("CBO_TranDay", 0);
    f.choose("CBO_GrpID2", 0);
    f.altS("CBO_GrpID2");
    EXPECT_EQ(f.lastBox(), "Feltrane|刪 除 成 功");
    EXPECT_EQ(f.headers(f.clock.today()), 0);
    EXPECT_EQ(f.control<DropDownList>("CBO_TranDay")->count(), 0);
    EXPECT_EQ(f.control<DropDownList>("CBO_GrpID2")->count(), 0);
    EXPECT_EQ(f.control<DropDownList>("CBO_GrpID2")->currentText(), "");
}

TEST(WindowCommands, applyAndRecollectFromAltSOnTheirTabs) {
    SchoolWindow f;
    ASSERT_TRUE(f.start());
    f.choose("CBO_GrpID", 0);
    f.control<QPushButton>("cmd_confirm")->click();
    f.base.exec("update KIV8_PayMent set FailFac='存款不足' where PreWay='1'");

    f.window->SSTab1()->setCurrentIndex(2);
    f.choose("CBO_GrpID3", 0);
    f.choose("CBO_TranDay3", 0);
    f.control<QCalendarWidget>("CC_TranDay3")->setSelectedDate(f.clock.today().addDays(30));
    f.altS("CBO_TranDay3");
    EXPECT_EQ(f.lastBox(), "Feltrane|新 增 成 功");
    EXPECT_EQ(f.headers(f.clock.today().addDays(30)), 1);

    f.window->SSTab1()->setCurrentIndex(3);
    f.choose("CBO_GrpID4", 0);
    f.choose("CBO_TranDay4", 0);
    const int today =
        f.control<DropDownList>("CBO_TranDay4")->findData(f.clock.today().toString("MM/dd/yyyy"));
    ASSERT_GE(today, 0);
    f.control<DropDownList>("CBO_TranDay4")->setCurrentIndex(today);
    f.control<QCalendarWidget>("CC_TranDay4")->setSelectedDate(f.clock.today().addDays(14));
    f.altS("CBO_GrpID4");
    EXPECT_EQ(f.lastBox(), "Feltrane|新 增 成 功");
    EXPECT_EQ(f.headers(f.clock.today().addDays(14)), 1);
}
