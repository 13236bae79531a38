#include "commands/DateForms.h"

#include "screen/Texts.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <optional>

namespace kiv::commands {

namespace {

// The lists show every date in the Republic-of-China form, whose year 1 is 1912; the stored
// form has four digits for the year.
constexpr int kFirstYear = 1912;
constexpr int kLastYear = 9999;
constexpr int kRocYearOffset = 1911;
constexpr int kRocYearDigits = 3;

// The three numbers of a typed date, the year as typed.
struct DateParts {
    QString yearDigits;
    bool rocYear = false;
    int month = 0;
    int day = 0;
};

// Year, month and day with the same separator between them, dashes or slashes.
std::optional<DateParts> splitDate(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral("^([0-9]+)([-/])([0-9]{1,2})\\2([0-9]{1,2})$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch()) {
        return std::nullopt;
    }
    DateParts parts;
    parts.yearDigits = m.captured(1);
    parts.rocYear = m.captured(2) == u"/" && parts.yearDigits.size() <= kRocYearDigits;
    parts.month = m.captured(3).toInt();
    parts.day = m.captured(4).toInt();
    return parts;
}

// The year in the common era, or nothing when it is out of range.
std::optional<int> yearOf(const DateParts& parts) {
    if (parts.yearDigits.size() > 4) {
        return std::nullopt;
    }
    const int year = parts.yearDigits.toInt() + (parts.rocYear ? kRocYearOffset : 0);
    if (year < kFirstYear || year > kLastYear) {
        return std::nullopt;
    }
    return year;
}

DateReading refused(const QString& problem) {
    return {QDate(), problem};
}

}  // namespace

DateReading readTypedDate(const QString& text) {
    const std::optional<DateParts> parts = splitDate(text.trimmed());
    if (!parts) {
        return refused(
            Texts::tr("not a date; dates are written 2026-12-20, 2026/12/20 or in the lists' "
                      "Republic-of-China form 115/12/20, month and day with one or two digits"));
    }
    const std::optional<int> year = yearOf(*parts);
    if (!year) {
        return refused(
            Texts::tr("year %1 is out of range; years run from %2 to %3, or from 1 to 999 in the "
                      "Republic-of-China form 115/12/20")
                .arg(parts->yearDigits)
                .arg(kFirstYear)
                .arg(kLastYear));
    }
    if (parts->month < 1 || parts->month > 12) {
        return refused(
            Texts::tr("there is no month %1; months run from 1 to 12").arg(parts->month));
    }
    const int days = QDate(*year, parts->month, 1).daysInMonth();
    if (parts->day < 1 || parts->day > days) {
        return refused(Texts::tr("month %1 of %2 has %3 days; there is no day %4")
                           .arg(parts->month)
                           .arg(*year)
                           .arg(days)
                           .arg(parts->day));
    }
    return {QDate(*year, parts->month, parts->day), QString()};
}

}  // namespace kiv::commands
