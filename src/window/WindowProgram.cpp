#include "window/WindowProgram.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLocale>
#include <QTextStream>

#include "window/DisplayCheck.h"
#include "window/MainWindow.h"
#include "window/Translations.h"

namespace kiv::window {

int runWindowProgram(int argc, char** argv, const std::function<void(QWidget*)>& shown) {
    if (refuseWithoutDisplay("Kiv2200P1", argc, argv)) {
        return 1;
    }
    QApplication app(argc, argv);
    app.setApplicationName("Kiv2200P1");
    // Calendars and dates in the clerks' own language.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::Taiwan));
    if (!installQtTranslations(app)) {
        QTextStream(stderr) << "Kiv2200P1: Qt's Traditional Chinese translations are not "
                               "installed; the boxes' buttons stay in English\n";
    }
    // The texts are Traditional Chinese: prefer a font drawn for it where one is installed.
    if (QFontDatabase::families().contains("Noto Sans CJK TC")) {
        QFont f("Noto Sans CJK TC");
        f.setPointSizeF(app.font().pointSizeF());
        app.setFont(f);
    }
    QStringList args = app.arguments();
    args.removeFirst();
    const QString commandLine = args.join(' ');
    if (commandLine.isEmpty()) {
        QTextStream(stderr)
            << "Kiv2200P1 is started by the menu program Kiv0000P1, or by hand with "
               "its three fields, for example: Kiv2200P1 a/b/c\n";
        return 0;
    }
    kiv::commands::SystemClock clock;
    MainWindow window(clock);
    if (!window.start(commandLine, QCoreApplication::applicationDirPath())) {
        return 0;
    }
    QObject::connect(&window, &MainWindow::programEnded, &app, &QCoreApplication::quit);
    window.show();
    if (shown) {
        shown(&window);
    }
    return app.exec();
}

}  // namespace kiv::window
