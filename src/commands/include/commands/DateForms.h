#pragma once
// The date forms the front-ends show and read: ISO, the lists' Republic-of-China form, and the
// key a date list's entry carries.

#include "database/Values.h"

namespace kiv::commands {

using database::collectionDateText;
using database::dateFromCollectionText;
using database::isoDate;
using database::rocDateText;

}  // namespace kiv::commands
