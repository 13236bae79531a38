#pragma once
// A batch engine run on its own, in a write transaction of its own, with no check, no removal
// and no kept copy: how the demo lays out its past batches on a fresh database, and how the
// benchmark and the engines' tests run one engine. The clerk's commands never come here: they
// write through the tab pipelines.

#include <QDate>
#include <QString>
#include <functional>

#include "generation/EngineResult.h"
#include "screen/Screen.h"

namespace kiv::demo {

using EngineRun = std::function<generation::EngineResult(database::Connection&)>;

// Runs the engine, commits what it wrote when it wrote a batch, then shows what the run came to
// (a failure first sets the normal pointer). True when the batch was written. A failure to open,
// lock or commit is traced under `routine` and shown.
bool runEngineAlone(const QString& baseFolder, const QString& routine, kiv::screen::Screen& screen,
                    const EngineRun& engine);

// The three engines so run; generation shows its deadline notices first when the box is ticked.
bool generateAlone(const QString& baseFolder, const QDate& day, qint64 group, bool deadline,
                   kiv::screen::Screen& screen);
bool applyAlone(const QString& baseFolder, const QDate& oldDate, const QDate& newDate, qint64 group,
                kiv::screen::Screen& screen);
bool recollectAlone(const QString& baseFolder, const QDate& oldDate, const QDate& newDate,
                    qint64 group, kiv::screen::Screen& screen);

}  // namespace kiv::demo
