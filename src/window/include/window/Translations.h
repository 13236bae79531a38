#pragma once
// Qt's own texts in the clerks' language: the buttons of the message boxes (確定, 是, 否) and
// whatever else Qt draws itself, from the Traditional Chinese translations installed with Qt.

#include <QCoreApplication>

namespace kiv::window {

// Installs Qt's Traditional Chinese translations into `app`; false when they are not installed
// (the boxes then keep Qt's English buttons).
bool installQtTranslations(QCoreApplication& app);

}  // namespace kiv::window
