#pragma once
// What the commands of kiv2200 share: exit codes, reading a command's options (Qt's command-line
// parser), usage errors, the date forms it reads, choosing a list entry as a clerk would, the
// message for a package without its database, and the wait told while another workstation writes.

#include <QDate>
#include <QMap>
#include <QStringList>

#include "cli/Cli.h"
#include "commands/OtherWorkstations.h"
#include "commands/TabLists.h"

namespace kiv::cli {

inline constexpr int kOk = 0;
inline constexpr int kStopped = 1;
inline constexpr int kUsage = 2;

// The options of one command: --name value pairs, --flag switches and the other arguments.
struct Options {
    QMap<QString, QString> values;  // by the option's name with its dashes: "--date"
    QStringList flags;
    QStringList arguments;  // the arguments that are no option, in order
    QString error;          // the first thing that could not be read, said as a usage error
};

// Reads `args` with Qt's command-line parser. A value option followed by another option has no
// value; an argument that is no option is an error unless the command takes `arguments` of them.
Options parseOptions(const QStringList& args, const QStringList& valueNames,
                     const QStringList& flagNames, int arguments = 0);

// Prints the one line that says what is wrong and where to read more; answers kUsage.
int usageError(Streams s, const QString& what);

// Reads the date option `name`, which is required, in any of the forms kiv2200 reads; answers
// the usage error (what is wrong with the date as typed), empty when it is there and valid.
QString readDateOption(const Options& o, const QString& name, QDate& date);
// Reads the required --group as a payment-group id; answers the usage error, empty when valid.
QString readGroupOption(const Options& o, qint64& group);

// The entry of a list whose key is `key`, as a clerk would choose it. A key that is not in the
// list gives a text that matches no entry, which the input checks treat as an empty list; then,
// when the list was read, the option (`given`) that matched nothing is named on standard error
// with what the list holds.
kiv::commands::ListChoice chooseEntry(const kiv::commands::ListFill& list, const QString& key,
                                      Streams s, const QString& given);

// A package without its database file (and no server named in KIV.ini): says which file is missing
// and how to make one, and answers true.
bool reportMissingDatabase(const QString& base, Streams s);

// The wait for another workstation's lock, told on standard error once a second.
kiv::commands::LockWait waitTold(Streams s);

}  // namespace kiv::cli
