#include "commands/InputChecks.h"

#include "database/Values.h"

namespace kiv::commands {

using kiv::screen::Field;
using kiv::screen::Icon;
using kiv::screen::Screen;
using kiv::screen::Title;

namespace {

std::optional<CommandKeys> refuse(Screen& screen, const char* message, Field field) {
    screen.showMessage(QString::fromUtf8(message), Title::Application, Icon::None);
    screen.setFocus(field);
    return std::nullopt;
}

// A list counts as chosen when it shows one of its entries. Its text alone does not say so: a
// typed text may match no entry, and a group without a name shows as an empty entry.
bool chosen(const kiv::store::ListChoice& c) {
    return c.key.has_value();
}

struct ReissueFields {
    Field oldDate;
    Field group;
    Field newDate;
};

std::optional<CommandKeys> checkReissue(const ReissueInputs& in, const QDate& today, Screen& screen,
                                        const ReissueFields& fields) {
    if (!chosen(in.oldDate)) {
        return refuse(screen, kDateRequired, fields.oldDate);
    }
    const QDate old = kiv::database::dateFromCollectionText(*in.oldDate.key);
    if (!chosen(in.group)) {
        return refuse(screen, kGroupRequired, fields.group);
    }
    // Dates compare as yyyy/mm/dd texts, whose text order is date order.
    const QString newDay = kiv::database::yearFirstText(in.newDate);
    if (newDay < kiv::database::yearFirstText(today)) {
        return refuse(screen, kDateBeforeToday, fields.newDate);
    }
    if (newDay <= kiv::database::yearFirstText(old)) {
        return refuse(screen, kNewDateNotAfterOld, fields.newDate);
    }
    return CommandKeys{old, in.newDate, in.group.key->toLongLong()};
}

}  // namespace

std::optional<CommandKeys> checkGenerateInputs(const GenerateInputs& in, const QDate& today,
                                               Screen& screen) {
    if (kiv::database::yearFirstText(in.date) < kiv::database::yearFirstText(today)) {
        return refuse(screen, kDateBeforeToday, Field::GenerateDate);
    }
    if (!chosen(in.group)) {
        return refuse(screen, kGroupRequired, Field::GenerateGroup);
    }
    return CommandKeys{in.date, QDate(), in.group.key->toLongLong()};
}

std::optional<CommandKeys> checkDeleteInputs(const DeleteInputs& in, Screen& screen) {
    if (!chosen(in.date)) {
        return refuse(screen, kDateRequired, Field::DeleteDate);
    }
    const QDate day = kiv::database::dateFromCollectionText(*in.date.key);
    if (!chosen(in.group)) {
        return refuse(screen, kGroupRequired, Field::DeleteGroup);
    }
    return CommandKeys{day, QDate(), in.group.key->toLongLong()};
}

std::optional<CommandKeys> checkReissueInputs(kiv::screen::Tab tab, const ReissueInputs& in,
                                              const QDate& today, Screen& screen) {
    return tab == kiv::screen::Tab::Apply
               ? checkReissue(in, today, screen,
                              {Field::ApplyOldDate, Field::ApplyGroup, Field::ApplyNewDate})
               : checkReissue(
                     in, today, screen,
                     {Field::RecollectOldDate, Field::RecollectGroup, Field::RecollectNewDate});
}

}  // namespace kiv::commands
