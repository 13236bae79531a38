#include "generation/EngineResult.h"

#include "store/Trace.h"

namespace kiv::generation {

namespace {

EngineResult runInOwnTransaction(const QString& baseFolder, const char* routine,
                                 const std::function<EngineResult(store::Connection&)>& engine) {
    try {
        store::Connection connection(baseFolder);
        store::Transaction transaction(connection);
        EngineResult result = engine(connection);
        if (result.ending == EngineResult::Ending::Written) {
            transaction.commit();
        }
        return result;
    } catch (const store::Failure& f) {
        store::traceFailure(QString::fromLatin1(routine), f.description());
        return EngineResult::failed(f.kind());
    }
}

}  // namespace

bool runAlone(const QString& baseFolder, const char* routine, kiv::screen::Screen& screen,
              const std::function<EngineResult(store::Connection&)>& engine) {
    const EngineResult result = runInOwnTransaction(baseFolder, routine, engine);
    if (result.ending == EngineResult::Ending::Failed) {
        screen.setBusyPointer(false);
    }
    if (!result.message.isEmpty()) {
        screen.showMessage(result.message, kiv::screen::Title::Default);
    }
    return result.ending == EngineResult::Ending::Written;
}

}  // namespace kiv::generation
