// kiv2200: the batch commands of Kiv2200P1 without a window.
#include <unistd.h>
#include <QCoreApplication>
#include <cstdio>

#include "cli/Cli.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    app.setApplicationName("kiv2200");
    QStringList args = app.arguments();
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
