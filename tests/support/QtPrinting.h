#pragma once
// Readable failure output for texts and lists of texts. Every test file of this program that
// compares texts includes it, so that all of them print texts the same way.

#include <QString>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
