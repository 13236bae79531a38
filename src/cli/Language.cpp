#include "cli/Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kiv::cli {

bool speaksEnglish(const QLocale& locale) {
    return locale.language() == QLocale::English;
}

void installLanguage(const QLocale& locale) {
    if (speaksEnglish(locale)) {
        return;
    }
    QCoreApplication* app = QCoreApplication::instance();
    auto* own = new QTranslator(app);
    // Built into the program from translations/kiv2200_zh_TW.ts.
    if (own->load(QStringLiteral(":/translations/kiv2200_zh_TW.qm"))) {
        QCoreApplication::installTranslator(own);
    }
    auto* qt = new QTranslator(app);
    if (qt->load(QStringLiteral("qtbase_zh_TW"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt);
    }
}

}  // namespace kiv::cli
