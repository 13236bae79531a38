// Kiv2200P1: started by the menu program with its three fields on the command line.
#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLocale>
#include <QTextStream>

#include "window/ControlMap.h"
#include "window/MainWindow.h"
#include "window/Translations.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setApplicationName("Kiv2200P1");
    // Calendars and dates in the clerks' own language.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::Taiwan));
    if (!kiv::window::installQtTranslations(app)) {
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
    kiv::window::MainWindow window(clock);
    if (!window.start(commandLine, QCoreApplication::applicationDirPath())) {
        return 0;
    }
    QObject::connect(&window, &kiv::window::MainWindow::programEnded, &app,
                     &QCoreApplication::quit);
    window.show();
    kiv::window::startControlMap(&window);
    return app.exec();
}
