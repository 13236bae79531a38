#pragma once
// A window started as the menu program would start it, on a fresh test database, with today
// fixed, and its message boxes answered by a ModalAnswerer.

#include <QApplication>
#include <QFile>
#include <memory>

#include "ModalAnswerer.h"
#include "TestBase.h"
#include "window/MainWindow.h"

namespace kiv::test {

struct WindowFixture {
    TestBase base;
    kiv::commands::FixedClock clock{QDate(2026, 12, 7)};
    ModalAnswerer boxes;
    std::unique_ptr<kiv::window::MainWindow> window;

    // Starts the window; false when it would end the program.
    bool start(const QString& commandLine = "a/b/c") {
        window = std::make_unique<kiv::window::MainWindow>(clock);
        const bool ok = window->Form_Load(commandLine, base.path() + "/exe");
        if (ok) {
            window->show();
            QApplication::setActiveWindow(window.get());
            QApplication::processEvents();
        }
        return ok;
    }

    template <typename T>
    T* control(const QString& name) const {
        return window->findChild<T*>(name);
    }
};

}  // namespace kiv::test
