// Kiv0000P1 stand-in: the package's menu program, reduced to what this package needs to go
// round. It shows the three fields it was started with and starts Kiv2200P1 with them.
#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QVBoxLayout>

#include "commands/PackageFolders.h"
#include "window/DisplayCheck.h"

int main(int argc, char** argv) {
    if (kiv::window::refuseWithoutDisplay("Kiv0000P1", argc, argv)) {
        return 1;
    }
    QApplication app(argc, argv);
    app.setApplicationName("Kiv0000P1");
    if (QFontDatabase::families().contains("Noto Sans CJK TC")) {
        QFont f("Noto Sans CJK TC");
        f.setPointSizeF(app.font().pointSizeF());
        app.setFont(f);
    }
    const QStringList args = app.arguments().mid(1);
    const QString fields = args.isEmpty() ? QString("a/b/c") : args.join(' ');
    const QStringList parts = fields.split('/');

    QWidget window;
    window.setObjectName("Kiv0000F1");
    window.setWindowTitle("Kiv0000P1 (" + fields + ")");
    auto* layout = new QVBoxLayout(&window);
    auto* title = new QLabel("Feltrane 主選單", &window);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    title->setFont(big);
    layout->addWidget(title);
    for (int i = 0; i < 3; ++i) {
        auto* field = new QLabel(
            QString("欄位 %1: %2").arg(i + 1).arg(i < parts.size() ? parts[i] : QString()),
            &window);
        field->setObjectName(QString("field%1").arg(i + 1));
        layout->addWidget(field);
    }
    auto* start = new QPushButton("KIV2200 轉帳\\臨櫃資料整批作業", &window);
    start->setObjectName("start_Kiv2200P1");
    auto* quit = new QPushButton("結束", &window);
    layout->addWidget(start);
    layout->addWidget(quit);
    layout->addStretch(1);

    QObject::connect(start, &QPushButton::clicked, &window, [&] {
        const QString program = QCoreApplication::applicationDirPath() + "/" +
                                kiv::commands::programFileName(kiv::commands::kWindowProgram);
        if (!QProcess::startDetached(program, {fields}, QCoreApplication::applicationDirPath())) {
            QMessageBox::warning(&window, "Kiv0000P1", "無法啟動 " + program);
            return;
        }
        app.quit();
    });
    QObject::connect(quit, &QPushButton::clicked, &app, &QApplication::quit);
    window.showMaximized();
    return app.exec();
}
