#pragma once
// Reading stored values under the storage contract: numbers as integers of a given width (a
// fractional value rounds to the nearest integer, halves to even), yes/no as any non-zero value,
// dates as ISO text, texts with Null read as empty. A value that does not fit throws Failure.

#include <QDate>
#include <QString>
#include <QVariant>
#include <cstdint>

#include "database/Checked.h"

namespace kiv::database {

// The whole number a stored value denotes; Null is a NullUse failure.
qint64 readNumber(const QVariant& value, const QString& column);

template <std::integral T>
T readInt(const QVariant& value, const QString& column) {
    const qint64 n = readNumber(value, column);
    if (!std::in_range<T>(n)) {
        failOverflow(column);
    }
    return static_cast<T>(n);
}

bool readYesNo(const QVariant& value, const QString& column);
// Null reads as the empty text.
QString readText(const QVariant& value);
QDate readDate(const QVariant& value, const QString& column);

// Removes leading and trailing blanks (spaces only), as the system trims ids and names.
QString trimBlanks(const QString& text);

// Rounds to the nearest integer, halves to the even neighbour (0.5 -> 0, 1.5 -> 2, 2.5 -> 2).
double roundHalfEven(double x);

// Date texts: the stored form, the collection-date text, the list form.
QString isoDate(const QDate& date);          // 2012-06-07
QString collectionDateText(const QDate& d);  // 06/07/2012
QString yearFirstText(const QDate& d);       // 2012/06/07, whose text order is date order
QString rocDateText(const QDate& d);         // 101/06/07 (Republic-of-China year)
QString rocAndIsoText(const QDate& d);       // 101/06/07 (2012-06-07), as kiv2200 shows a date
// Parses "mm/dd/yyyy"; an invalid date when the text is not of that form.
QDate dateFromCollectionText(const QString& text);

}  // namespace kiv::database
