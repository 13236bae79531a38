#include "window/FormControls.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace kiv::window {

namespace {
const QColor kDarkRed(128, 0, 0);
}

QLabel* makeLabel(const QString& name, const QString& caption, QWidget* parent) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(name);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, kDarkRed);
    l->setPalette(p);
    return l;
}

QLabel* makeBusyLabel(const QString& name, const QString& caption, QWidget* parent) {
    QLabel* l = makeLabel(name, caption, parent);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    l->setVisible(false);
    return l;
}

QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setMinimumWidth(96);
    b->setAutoDefault(false);
    return b;
}

QGroupBox* makeFrame(const QString& name, const QString& caption, QWidget* parent) {
    auto* g = new QGroupBox(caption, parent);
    g->setObjectName(name);
    return g;
}

QCalendarWidget* makeCalendar(const QString& name, QWidget* parent) {
    auto* c = new QCalendarWidget(parent);
    c->setObjectName(name);
    c->setGridVisible(true);
    c->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    return c;
}

ButtonsFrame makeButtonsFrame(const QString& frameName, const QString& confirmName,
                              const QString& exitName, const QString& busyName,
                              const QString& busyCaption, QWidget* parent) {
    ButtonsFrame f;
    f.frame = makeFrame(frameName, QString(), parent);
    f.confirm = makeButton(confirmName, "確認 S", f.frame);
    f.exit = makeButton(exitName, "離開 E", f.frame);
    f.busy = makeBusyLabel(busyName, busyCaption, f.frame);
    auto* row = new QHBoxLayout(f.frame);
    row->addWidget(f.busy, 1);
    row->addWidget(f.confirm);
    row->addWidget(f.exit);
    // Keep the row's height when the busy label is hidden.
    QSizePolicy keep = f.busy->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    f.busy->setSizePolicy(keep);
    return f;
}

}  // namespace kiv::window
