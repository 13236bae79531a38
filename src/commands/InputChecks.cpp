#include "commands/InputChecks.h"

#include "database/Values.h"

namespace kiv::commands {

using kiv::screen::Icon;
using kiv::screen::Screen;
using kiv::screen::Title;

namespace {

std::optional<CommandKeys> refuse(Screen& screen, const char* message, const QString& control) {
    screen.showMessage(QString::fromUtf8(message), Title::Application, Icon::None);
    screen.setFocus(control);
    return std::nullopt;
}

// A list counts as chosen when it shows one of its entries. Its text alone does not say so: a
// typed text may match no entry, and a group without a name shows as an empty entry.
bool chosen(const kiv::store::ListChoice& c) {
    return c.key.has_value();
}

struct ReissueControls {
    const char* dateList;
    const char* groupList;
    const char* calendar;
};

std::optional<CommandKeys> checkReissue(const ReissueInputs& in, const QDate& today, Screen& screen,
                                        const ReissueControls& controls) {
    if (!chosen(in.oldDate)) {
        return refuse(screen, kDateRequired, controls.dateList);
    }
    const QDate old = kiv::database::dateFromCollectionText(*in.oldDate.key);
    if (!chosen(in.group)) {
        return refuse(screen, kGroupRequired, controls.groupList);
    }
    // Dates compare as yyyy/mm/dd texts, whose text order is date order.
    const QString newDay = kiv::database::yearFirstText(in.newDate);
    if (newDay < kiv::database::yearFirstText(today)) {
        return refuse(screen, kDateBeforeToday, controls.calendar);
    }
    if (newDay <= kiv::database::yearFirstText(old)) {
        return refuse(screen, kNewDateNotAfterOld, controls.calendar);
    }
    return CommandKeys{old, in.newDate, in.group.key->toLongLong()};
}

}  // namespace

std::optional<CommandKeys> check_Text(const GenerateInputs& in, const QDate& today,
                                      Screen& screen) {
    if (kiv::database::yearFirstText(in.date) < kiv::database::yearFirstText(today)) {
        return refuse(screen, kDateBeforeToday, "CC_TranDay");
    }
    if (!chosen(in.group)) {
        return refuse(screen, kGroupRequired, "CBO_GrpID");
    }
    return CommandKeys{in.date, QDate(), in.group.key->toLongLong()};
}

std::optional<CommandKeys> Check_Text2(const DeleteInputs& in, Screen& screen) {
    if (!chosen(in.date)) {
        return refuse(screen, kDateRequired, "CBO_TranDay");
    }
    const QDate day = kiv::database::dateFromCollectionText(*in.date.key);
    if (!chosen(in.group)) {
        return refuse(screen, kGroupRequired, "CBO_GrpID2");
    }
    return CommandKeys{day, QDate(), in.group.key->toLongLong()};
}

std::optional<CommandKeys> Check_Text3(const ReissueInputs& in, const QDate& today,
                                       Screen& screen) {
    return checkReissue(in, today, screen, {"CBO_TranDay3", "CBO_GrpID3", "CC_TranDay3"});
}

std::optional<CommandKeys> Check_Text4(const ReissueInputs& in, const QDate& today,
                                       Screen& screen) {
    return checkReissue(in, today, screen, {"CBO_TranDay4", "CBO_GrpID4", "CC_TranDay4"});
}

}  // namespace kiv::commands
