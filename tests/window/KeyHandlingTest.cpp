// Keys typed with the real focus in a list: an editable list hands its keys to its line edit,
// so the filter must sit there; and the window's shortcuts must see Alt+E and Alt+S first.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "WindowFixture.h"
#include "window/ListKeyFilter.h"

using namespace kiv::window;
using kiv::test::WindowFixture;

namespace {
QLineEdit* focusList(WindowFixture& f, int tab, const char* name) {
    f.window->SSTab1()->setCurrentIndex(tab);
    auto* list = f.control<DropDownList>(name);
    list->setFocus();
    QApplication::processEvents();
    // The list's line edit hands its focus to the list, which passes typed keys on to it.
    EXPECT_TRUE(QApplication::focusWidget() == list ||
                QApplication::focusWidget() == list->lineEdit())
        << name;
    return list->lineEdit();
}
}  // namespace

TEST(KeyFilter, filteredListsTakeOnlyTheFourPassingCharacters) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    const std::pair<int, const char*> filtered[] = {
        {0, "CBO_GrpID"}, {1, "CBO_GrpID2"}, {1, "CBO_TranDay"}};
    for (const auto& [tab, name] : filtered) {
        QLineEdit* edit = focusList(f, tab, name);
        QTest::keyClicks(QApplication::focusWidget(), "a1Z ");
        EXPECT_EQ(edit->text(), "") << name;
        QTest::keyClicks(QApplication::focusWidget(), "%&'(");
        EXPECT_EQ(edit->text(), "%&'(") << name;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
        EXPECT_EQ(edit->text(), "%&'(") << name << ": Backspace is discarded too";
    }
}

TEST(KeyFilter, theOtherListsAcceptTyping) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    for (const auto& [tab, name] : {std::pair{2, "CBO_GrpID3"}, std::pair{3, "CBO_TranDay4"}}) {
        QLineEdit* edit = focusList(f, tab, name);
        QTest::keyClicks(QApplication::focusWidget(), "a1");
        EXPECT_EQ(edit->text(), "a1") << name;
    }
}

TEST(KeyFilter, enterMovesTheFocusToTheNextControl) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    QLineEdit* edit = focusList(f, 1, "CBO_TranDay");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_NE(QApplication::focusWidget(), edit);
    EXPECT_NE(QApplication::focusWidget(), f.control<DropDownList>("CBO_TranDay"));
}

TEST(Shortcuts, altEInAnEditableListRunsTheExitOfTheCurrentTab) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    focusList(f, 3, "CBO_GrpID4");
    QSignalSpy ended(f.window.get(), &MainWindow::programEnded);
    // No menu program in this package: the exit shows why it could not start it.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::AltModifier);
    ASSERT_EQ(f.boxes.seen().size(), 1);
    EXPECT_EQ(f.control<DropDownList>("CBO_GrpID4")->currentText(), "");
}

TEST(Shortcuts, altWithShiftOrCtrlDoesNothing) {
    WindowFixture f;
    ASSERT_TRUE(f.start());
    focusList(f, 3, "CBO_GrpID4");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::AltModifier | Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::AltModifier | Qt::ControlModifier);
    QTest::qWait(50);
    EXPECT_TRUE(f.boxes.seen().isEmpty());
    EXPECT_FALSE(f.window->Form_KeyDown(Qt::Key_S, 5));
    EXPECT_FALSE(f.window->Form_KeyDown(Qt::Key_X, 4));
}
