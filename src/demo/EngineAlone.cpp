#include "demo/EngineAlone.h"

#include "database/Connection.h"
#include "database/Trace.h"
#include "generation/GenerationRun.h"
#include "reissue/ReissueRun.h"
#include "store/PackageDatabase.h"

namespace kiv::demo {

using generation::EngineResult;

bool runEngineAlone(const QString& baseFolder, const QString& routine, kiv::screen::Screen& screen,
                    const EngineRun& engine) {
    EngineResult result;
    try {
        kiv::store::PackageConnection connection(baseFolder);
        database::Transaction transaction(connection);
        result = engine(connection);
        if (result.ending == EngineResult::Ending::Written) {
            transaction.commit();
        }
    } catch (const database::Failure& f) {
        database::traceFailure(routine, f.description());
        result = EngineResult::failed(f.kind(), f.description());
    }
    if (result.ending == EngineResult::Ending::Failed) {
        screen.setBusyPointer(false);
    }
    if (!result.message.isEmpty()) {
        screen.showMessage(result.message, kiv::screen::Title::Default);
    }
    return result.ending == EngineResult::Ending::Written;
}

bool generateAlone(const QString& baseFolder, const QDate& day, qint64 group, bool deadline,
                   kiv::screen::Screen& screen) {
    if (deadline) {
        generation::showDeadlineNotices(baseFolder, screen);
    }
    return runEngineAlone(baseFolder, "generate", screen, [&](database::Connection& c) {
        return generation::generateBatch(c, day, group, deadline, screen);
    });
}

bool applyAlone(const QString& baseFolder, const QDate& oldDate, const QDate& newDate, qint64 group,
                kiv::screen::Screen& screen) {
    return runEngineAlone(baseFolder, "apply", screen, [&](database::Connection& c) {
        return reissue::applyBatch(c, oldDate, newDate, group, screen);
    });
}

bool recollectAlone(const QString& baseFolder, const QDate& oldDate, const QDate& newDate,
                    qint64 group, kiv::screen::Screen& screen) {
    return runEngineAlone(baseFolder, "recollect", screen, [&](database::Connection& c) {
        return reissue::recollectBatch(c, oldDate, newDate, group, screen);
    });
}

}  // namespace kiv::demo
