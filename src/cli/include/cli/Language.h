#pragma once
// The language kiv2200 speaks: Traditional Chinese, the clerks' own, under any locale but an
// English one (a bare machine's C locale included); English under an English locale.

#include <QLocale>

namespace kiv::cli {

bool speaksEnglish(const QLocale& locale);

// Installs into the running application the translations that `locale` calls for: kiv2200's own
// and Qt's (the command-line parser's messages). They live as long as the application.
void installLanguage(const QLocale& locale);

}  // namespace kiv::cli
