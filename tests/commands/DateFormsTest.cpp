// The dates a clerk types into kiv2200: the three forms, and what is said about a text that is no
// date; the form kiv2200 shows a date in.
#include <gtest/gtest.h>

#include "commands/DateForms.h"

using kiv::commands::readTypedDate;

namespace {
const char* const kNotADate =
    "not a date; dates are written 2026-12-20, 2026/12/20 or in the lists' Republic-of-China "
    "form 115/12/20, month and day with one or two digits";

QString yearOutOfRange(const char* year) {
    return QStringLiteral(
               "year %1 is out of range; years run from 1912 to 9999, or from 1 to 999 in the "
               "Republic-of-China form 115/12/20")
        .arg(year);
}
}  // namespace

TEST(TypedDate, eachFormReadsItsDateAndEveryOtherTextSaysWhatIsWrong) {
    const struct {
        const char* name;
        const char* text;
        QDate date;
        QString problem;
    } cases[] = {
        {"iso", "2026-12-20", QDate(2026, 12, 20), ""},
        {"yearFirstSlashes", "2026/12/20", QDate(2026, 12, 20), ""},
        {"republicOfChina", "115/12/20", QDate(2026, 12, 20), ""},
        {"isoOneDigitMonthAndDay", "2027-1-5", QDate(2027, 1, 5), ""},
        {"republicOfChinaOneDigitMonthAndDay", "115/2/3", QDate(2026, 2, 3), ""},
        {"firstRepublicOfChinaYear", "1/01/01", QDate(1912, 1, 1), ""},
        {"lastThreeDigitRepublicOfChinaYear", "999/12/31", QDate(2910, 12, 31), ""},
        {"leapDay", "113/2/29", QDate(2024, 2, 29), ""},
        {"blanksAround", " 2026-12-20 ", QDate(2026, 12, 20), ""},
        {"empty", "", {}, kNotADate},
        {"mixedSeparators", "2026-12/20", {}, kNotADate},
        {"signedYear", "-5/12/20", {}, kNotADate},
        {"threeDigitMonth", "2026-012-20", {}, kNotADate},
        {"dots", "115.12.20", {}, kNotADate},
        {"fullWidthDigits", "１１５/12/20", {}, kNotADate},
        {"monthThirteen", "2026-13-01", {}, "there is no month 13; months run from 1 to 12"},
        {"monthZero", "115/0/10", {}, "there is no month 0; months run from 1 to 12"},
        {"februaryThirtieth", "115/02/30", {}, "month 2 of 2026 has 28 days; there is no day 30"},
        {"leapYearFebruary", "2024-02-30", {}, "month 2 of 2024 has 29 days; there is no day 30"},
        {"dayZero", "2026-01-00", {}, "month 1 of 2026 has 31 days; there is no day 0"},
        {"republicOfChinaYearWithDashes", "115-12-20", {}, yearOutOfRange("115")},
        {"fourDigitsAreTheCommonEra", "0115/12/20", {}, yearOutOfRange("0115")},
        {"beforeTheRepublicOfChina", "1911-12-31", {}, yearOutOfRange("1911")},
        {"fiveDigitYear", "10000-01-01", {}, yearOutOfRange("10000")},
    };
    for (const auto& c : cases) {
        const kiv::commands::DateReading r = readTypedDate(QString::fromUtf8(c.text));
        EXPECT_EQ(r.date, c.date) << c.name;
        EXPECT_EQ(r.problem, c.problem) << c.name;
    }
}

// Every date kiv2200 shows reads back as itself, in the lists' form and in ISO.
TEST(TypedDate, theShownFormsReadBackAsTheSameDate) {
    EXPECT_EQ(kiv::commands::rocAndIsoText(QDate(2027, 1, 9)), "116/01/09 (2027-01-09)");
    EXPECT_EQ(kiv::commands::rocAndIsoText(QDate(1912, 3, 4)), "1/03/04 (1912-03-04)");
    for (QDate d(2023, 12, 25); d <= QDate(2025, 1, 5); d = d.addDays(1)) {
        EXPECT_EQ(readTypedDate(kiv::commands::rocDateText(d)).date, d)
            << d.toString().toStdString();
        EXPECT_EQ(readTypedDate(kiv::commands::isoDate(d)).date, d) << d.toString().toStdString();
    }
}
