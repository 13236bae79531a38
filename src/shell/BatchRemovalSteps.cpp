#include "BatchRemovalSteps.h"

#include "BatchRemoval.h"
#include "Failure.h"
#include "Trace.h"

namespace kiv::shell {

using kiv::screen::Icon;
using kiv::screen::Screen;
using kiv::screen::Tab;
using kiv::screen::Title;

namespace {

bool removeForWriting(const QString& baseFolder, const QDate& day, qint64 group, Screen& screen,
                      Tab tab) {
    screen.setBusyText(tab, "執行刪資料");
    screen.processEvents();
    try {
        kiv::store::removeBatch(baseFolder, day, group);
        return true;
    } catch (const kiv::store::Failure& f) {
        screen.setBusyPointer(false);
        if (tab == Tab::Generate) {
            traceFailure("batch removal", f.description());
        } else {
            screen.showMessage(f.description(), Title::Default, Icon::None);
        }
        return false;
    }
}

}  // namespace

bool Kiv2200exe_delete_data(const QString& baseFolder, const CommandKeys& keys, Screen& screen) {
    return removeForWriting(baseFolder, keys.tranDay, keys.group, screen, Tab::Generate);
}

bool Kiv2200exe_delete_data3(const QString& baseFolder, const CommandKeys& keys, Screen& screen) {
    return removeForWriting(baseFolder, keys.newTranDay, keys.group, screen, Tab::Apply);
}

bool Kiv2200exe_delete_data4(const QString& baseFolder, const CommandKeys& keys, Screen& screen) {
    return removeForWriting(baseFolder, keys.newTranDay, keys.group, screen, Tab::Recollect);
}

bool Kiv2200exe_delete_data2(const QString& baseFolder, const CommandKeys& keys, Screen& screen) {
    screen.setBusyText(Tab::Delete, "執行 刪除");
    try {
        kiv::store::removeBatch(baseFolder, keys.tranDay, keys.group);
    } catch (const kiv::store::Failure& f) {
        screen.setBusyPointer(false);
        screen.showMessage(f.description(), Title::Default, Icon::None);
        return false;
    }
    screen.setBusyText(Tab::Delete, "執行 刪除結束");
    return true;
}

}  // namespace kiv::shell
