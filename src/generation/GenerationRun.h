#pragma once
// The generation run of tab "產生": builds the collection batch (batchDate, groupId) from the
// students, their class or grade items in the group and their statuses, then writes its header
// and shows the summary. Everything it writes goes into one transaction, so the batch is either
// whole or absent. It never touches a widget: it speaks to the screen it is given, and shows no
// message while its transaction is open.

#include <QDate>
#include <QString>

#include "Screen.h"

namespace kiv::generation {

// True when the batch was written and its summary shown. False, with nothing written, when the
// school has no fee schedule (silently), when no student has an item in the group ("無資料可產生"),
// or on any run-time error (silently; the error's description goes to standard error). The
// caller must have removed every earlier row of the batch.
bool Kiv2200exe_insert_data(const QString& baseFolder, const QDate& batchDate, qint64 groupId,
                            bool deadlineTicked, kiv::screen::Screen& screen);

}  // namespace kiv::generation
