#include "commands/OtherWorkstations.h"

#include <QCoreApplication>

#include <QMap>

#include "database/Values.h"

namespace kiv::commands {

using kiv::screen::Screen;
using kiv::screen::Tab;

namespace {
const QString kCrCr = QString(QChar(13)) + QChar(13);
}  // namespace

kiv::database::LockWait lockWaitOn(const CommandContext& ctx, Tab tab, bool* waited) {
    kiv::database::LockWait wait;
    wait.limit = ctx.lockWait;
    Screen* screen = &ctx.screen;
    wait.waiting = [screen, tab, waited, shown = -1](int seconds) mutable {
        if (seconds != shown) {
            screen->setBusyText(tab, lockWaitText(seconds));
            shown = seconds;
        }
        if (waited != nullptr) {
            *waited = true;
        }
        screen->processEvents();
    };
    return wait;
}

QString commandVerb(const QString& command) {
    static const QMap<QString, QString> verbs = {{"generate", "產生"},  {"apply", "套用"},
                                                 {"recollect", "補收"}, {"delete", "刪除"},
                                                 {"undo", "復原"},      {"restore", "放回備份"}};
    return verbs.value(command, command);
}

QString commandVerbShown(const QString& command) {
    static const QMap<QString, const char*> verbs = {
        {"generate", QT_TRANSLATE_NOOP("kiv2200", "generated")},
        {"apply", QT_TRANSLATE_NOOP("kiv2200", "applied")},
        {"recollect", QT_TRANSLATE_NOOP("kiv2200", "re-collected")},
        {"delete", QT_TRANSLATE_NOOP("kiv2200", "deleted")},
        {"undo", QT_TRANSLATE_NOOP("kiv2200", "undid")},
        {"restore", QT_TRANSLATE_NOOP("kiv2200", "put back a copy of")}};
    const auto verb = verbs.find(command);
    return verb == verbs.end() ? command : QCoreApplication::translate("kiv2200", *verb);
}

QString changedMeanwhileMessage(const QDate& day, qint64 group,
                                const std::optional<kiv::store::JournalEntry>& by) {
    const QString batch =
        QString("（收款日期 %1，繳費群組 %2）").arg(kiv::database::rocDateText(day)).arg(group);
    const QString what =
        by ? QString("工作站 %1（使用者 %2）於 %3 %4了這批資料")
                 .arg(by->writer.host, by->writer.user, by->at.mid(11, 8), commandVerb(by->command))
           : QString("另一個工作站在您確認之後變更了這批資料");
    return what + batch + "。" + kCrCr + "本次沒有寫入任何資料，請重新執行一次。";
}

QString goneBatchMessage(const QDate& day, qint64 group) {
    return QString("這批資料（收款日期 %1，繳費群組 %2）不存在，或已被另一個工作站刪除。")
               .arg(kiv::database::rocDateText(day))
               .arg(group) +
           kCrCr + "本次沒有寫入任何資料。";
}

QString busyMessage(std::chrono::milliseconds waited) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(waited).count();
    return QString("資料庫正由其他工作站寫入，等候 %1 秒仍未完成。").arg(seconds) + kCrCr +
           "本次沒有寫入任何資料，請稍後再執行一次。";
}

QString lockWaitText(int secondsWaited) {
    return QString("等候其他工作站寫入完成… %1 秒").arg(secondsWaited);
}

}  // namespace kiv::commands
