#pragma once
// The four tab commands: input check, existing-batch check, removal, then for the tabs that
// build a batch the engine and the compaction, then the success message. Each step answers go
// on or stop and reports its own failures; the pipeline drives the tab's busy state (button,
// busy label, pointer) and leaves it idle on every path. No widget here: the window and kiv2200
// run the same pipelines through their screens.

#include <QDate>
#include <QString>

#include "commands/CommandContext.h"
#include "commands/TabInputs.h"
#include "screen/Screen.h"

namespace kiv::commands {

enum class Outcome { Done, Stopped };

inline constexpr const char* kAdded = "新 增 成 功";
inline constexpr const char* kDeleted = "刪 除 成 功";

Outcome runGenerate(const CommandContext& ctx, const GenerateInputs& in);
// After Done the caller empties both lists of the tab, so the deleted batch cannot be chosen.
Outcome runDelete(const CommandContext& ctx, const DeleteInputs& in);
Outcome runApply(const CommandContext& ctx, const ReissueInputs& in);
// kiv2200's delete of a date and group that no entry of the tab's lists holds: when not a row of
// that batch is left (it never was, or another workstation deleted it before the lists were
// read), says so and answers true. False when the batch has rows, or cannot be read: then the
// tab's steps refuse or tell as for any choice.
bool tellGoneBatch(const CommandContext& ctx, const QDate& day, qint64 group);
Outcome runRecollect(const CommandContext& ctx, const ReissueInputs& in);

}  // namespace kiv::commands
