// kiv2200: the batch commands of Kiv2200P1 without a window.
#include <QCoreApplication>

#include "Cli.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    app.setApplicationName("kiv2200");
    QStringList args = app.arguments();
    args.removeFirst();
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = kiv::cli::runCli(args, QCoreApplication::applicationDirPath(), {out, err});
    out.flush();
    err.flush();
    return status;
}
