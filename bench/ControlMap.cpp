#include "ControlMap.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSaveFile>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <memory>

namespace kiv::bench {

namespace {

// One line: the name, the global rectangle, then the text shown (line breaks written as \n).
QString entry(const QString& name, const QWidget* w, const QRect& local, const QString& text) {
    const QPoint at = w->mapToGlobal(local.topLeft());
    return QStringList{name,
                       QString::number(at.x()),
                       QString::number(at.y()),
                       QString::number(local.width()),
                       QString::number(local.height()),
                       QString(text).replace('\n', "\\n")}
               .join(' ') +
           '\n';
}

QString textOf(const QWidget* w) {
    if (auto* c = qobject_cast<const QCheckBox*>(w)) {
        return (c->isChecked() ? "[x] " : "[ ] ") + c->text();
    }
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) {
        return b->text();
    }
    if (auto* l = qobject_cast<const QLabel*>(w)) {
        return l->text();
    }
    if (auto* g = qobject_cast<const QGroupBox*>(w)) {
        return g->title();
    }
    if (auto* e = qobject_cast<const QLineEdit*>(w)) {
        return e->text();
    }
    if (auto* c = qobject_cast<const QComboBox*>(w)) {
        return c->currentText();
    }
    if (auto* c = qobject_cast<const QCalendarWidget*>(w)) {
        return c->selectedDate().toString(Qt::ISODate);
    }
    if (auto* t = qobject_cast<const QTabWidget*>(w)) {
        return t->tabText(t->currentIndex());
    }
    return w->windowTitle();
}

QString describe(const QWidget* window) {
    QString out = entry(window->objectName(), window, window->rect(), window->windowTitle());
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        const QString name = w->objectName();
        if (name.isEmpty() || name.startsWith("qt_") || !w->isVisible()) {
            continue;
        }
        out += entry(name, w, w->rect(), textOf(w));
        // Tabs and the entries of an open list are no widgets of their own: name#index.
        if (auto* tabs = qobject_cast<const QTabWidget*>(w)) {
            const QTabBar* bar = tabs->tabBar();
            for (int i = 0; i < bar->count(); ++i) {
                out +=
                    entry(name + '#' + QString::number(i), bar, bar->tabRect(i), bar->tabText(i));
            }
        }
        if (auto* list = qobject_cast<const QComboBox*>(w); list && list->view()->isVisible()) {
            const QAbstractItemView* view = list->view();
            for (int i = 0; i < list->count(); ++i) {
                const QModelIndex index = list->model()->index(i, list->modelColumn());
                out += entry(name + '#' + QString::number(i), view->viewport(),
                             view->visualRect(index), list->itemText(i));
            }
        }
    }
    for (const QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<const QMessageBox*>(top); box && box->isVisible()) {
            out += entry("box", box, box->rect(), box->text());
        }
    }
    return out;
}

}  // namespace

void startControlMap(QWidget* window) {
    const QString path = qEnvironmentVariable("KIV2200_CONTROL_MAP");
    if (path.isEmpty()) {
        return;
    }
    // Polled rather than tracked: the map follows every change without touching the window, and
    // the file is replaced whole, so a reader never sees half of it.
    auto* timer = new QTimer(window);
    auto written = std::make_shared<QString>();
    QObject::connect(timer, &QTimer::timeout, window, [window, path, written] {
        if (!window->isVisible()) {
            return;
        }
        const QString now = describe(window);
        if (now == *written) {
            return;
        }
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly) && file.write(now.toUtf8()) >= 0 && file.commit()) {
            *written = now;
        }
    });
    timer->start(100);
}

}  // namespace kiv::bench
