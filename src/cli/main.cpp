// kiv2200: the batch commands of Kiv2200P1 without a window.
#include <unistd.h>
#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstring>
#include <memory>

#include "cli/Cli.h"
#include "cli/Language.h"

namespace {

// A GUI application on a server without a desktop session has no runtime folder; Qt makes its
// own and says so on every run, which is no news to whoever reads kiv2200's output.
void withoutRuntimeFolderNotice(QtMsgType type, const QMessageLogContext& context,
                                const QString& message) {
    if (!message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }
}

}  // namespace

int main(int argc, char** argv) {
    // The report's pages are drawn with Qt's GUI classes: that command gets a GUI application on
    // the offscreen platform, which needs no display; the others do without one.
    bool drawsPages = false;
    for (int i = 1; i < argc; ++i) {
        drawsPages = drawsPages || std::strcmp(argv[i], "report") == 0;
    }
    if (drawsPages && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (drawsPages) {
        qInstallMessageHandler(withoutRuntimeFolderNotice);
    }
    const std::unique_ptr<QCoreApplication> app =
        drawsPages ? std::make_unique<QGuiApplication>(argc, argv)
                   : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName("kiv2200");
    kiv::cli::installLanguage(QLocale::system());
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    QTextStream out(stdout);
    QTextStream err(stderr);
    QTextStream in(stdin);
    const bool interactive = isatty(fileno(stdin)) != 0;
    const kiv::commands::SystemClock clock;
    const int status = kiv::cli::runCli(
        args, QCoreApplication::applicationDirPath(),
        {out, err, interactive ? &in : nullptr, isatty(fileno(stderr)) != 0}, clock);
    out.flush();
    err.flush();
    return status;
}
