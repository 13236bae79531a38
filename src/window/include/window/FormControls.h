#pragma once
// Small builders for the controls of the form, so that every tab names and dresses its controls
// the same way: the system's control names as object names, dark red labels on the tabs.

#include <QCalendarWidget>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace kiv::window {

QLabel* makeLabel(const QString& name, const QString& caption, QWidget* parent);
// A busy label: dark red like the others, hidden until a command runs.
QLabel* makeBusyLabel(const QString& name, const QString& caption, QWidget* parent);
QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent);
QGroupBox* makeFrame(const QString& name, const QString& caption, QWidget* parent);
QCalendarWidget* makeCalendar(const QString& name, QWidget* parent);

// The buttons frame of a tab: confirm, exit, and the busy label beside them.
struct ButtonsFrame {
    QGroupBox* frame;
    QPushButton* confirm;
    QPushButton* exit;
    QLabel* busy;
};
ButtonsFrame makeButtonsFrame(const QString& frameName, const QString& confirmName,
                              const QString& exitName, const QString& busyName,
                              const QString& busyCaption, QWidget* parent);

}  // namespace kiv::window
