#pragma once
// kiv2200's own texts, written in English and translated in one context, "kiv2200":
// Texts::tr() wherever a library or the front-end has a text that only kiv2200 shows (its
// commands, its report, its dry run, the restore). The texts the window shows too (the tabs'
// messages, the database's errors) are the clerk's Chinese as they stand and are not translated.

#include <QCoreApplication>

namespace kiv {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(kiv2200)
};

}  // namespace kiv
