#pragma once
// kiv2200's own texts, written in English and translated in one context, "kiv2200": Texts::tr()
// in the front-end; QCoreApplication::translate("kiv2200", ...) in the libraries whose texts only
// kiv2200 prints. The texts the window shows too (the system's messages, the database's errors)
// are the clerk's as they stand and are not translated.

#include <QCoreApplication>

namespace kiv::cli {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(kiv2200)
};

}  // namespace kiv::cli
