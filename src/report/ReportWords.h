#pragma once
// The report's words: written in English and translated in kiv2200's context, as kiv2200's own
// texts are, so that the summary, the PDF and the CSV speak the clerk's language.

#include <QCoreApplication>

namespace kiv::report {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(kiv2200)
};

}  // namespace kiv::report
