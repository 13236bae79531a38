#pragma once
// The date forms the front-ends show and read: ISO, the lists' Republic-of-China form, the key a
// date list's entry carries, and the dates a clerk types into kiv2200. Reading a typed date never
// guesses: a text that is not exactly a date says what is wrong with it.

#include <QDate>
#include <QString>

#include "database/Values.h"

namespace kiv::commands {

using database::collectionDateText;
using database::dateFromCollectionText;
using database::isoDate;
using database::rocAndIsoText;
using database::rocDateText;

// A typed date: the date, or what is wrong with the text.
struct DateReading {
    QDate date;       // valid when the text is a date
    QString problem;  // otherwise one sentence that says what is wrong
};

// Reads 2026-12-20, 2026/12/20 or the lists' Republic-of-China form 115/12/20, month and day with
// one or two digits. A year of one to three digits between slashes is a Republic-of-China year.
DateReading readTypedDate(const QString& text);

}  // namespace kiv::commands
