#pragma once
// kiv2200, the headless front-end: parses its command line and runs the command, writing
// messages to out and progress and errors to err. Returns the exit status: 0 success, 1 the
// command stopped or failed, 2 a usage error.

#include <QStringList>
#include <QTextStream>

#include "commands/Clock.h"

namespace kiv::cli {

struct Streams {
    QTextStream& out;
    QTextStream& err;
    QTextStream* in = nullptr;   // set when standard input is an interactive terminal
    bool errIsTerminal = false;  // progress written over in place rather than line by line
    const kiv::commands::Ticker* ticker = nullptr;  // paces the progress; the steady clock if unset
};

// args: the arguments after the program name. programFolder: the folder of the kiv2200 program,
// from which the default base folder and the programs that demo copies are found. clock: where
// "today" comes from, for the date checks and the demo's batches.
int runCli(const QStringList& args, const QString& programFolder, Streams streams,
           const kiv::commands::Clock& clock);

QString usageText();

}  // namespace kiv::cli
