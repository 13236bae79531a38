#pragma once
// kiv2200 init-db (an empty database with the current schema) and kiv2200 demo (a demo package:
// the programs and a school with past batches).

#include <QDate>
#include <QStringList>

#include "cli/Cli.h"

namespace kiv::cli {

int initDbCommand(const QString& base, const QString& programFolder, const QStringList& args,
                  Streams s);
int demoCommand(const QString& base, const QString& programFolder, const QStringList& args,
                Streams s, const QDate& today);

}  // namespace kiv::cli
