#include "report/PdfGlyphNames.h"

#include <QString>
#include <algorithm>
#include <vector>

namespace kiv::report {

namespace {

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// Rewrites the code point written as four hex digits at `at` when it is a radical.
void renameRadical(QByteArray& pdf, qsizetype at) {
    bool ok = false;
    const uint code = pdf.mid(at, 4).toUInt(&ok, 16);
    if (!ok || code < 0x2E80 || code > 0x2FDF) {
        return;
    }
    const QString ideograph =
        QString(QChar(char16_t(code))).normalized(QString::NormalizationForm_KC);
    if (ideograph.size() == 1 && ideograph[0].unicode() != code) {
        const QByteArray hex = QByteArray::number(ideograph[0].unicode(), 16).toUpper();
        pdf.replace(at, 4, hex.rightJustified(4, '0'));
    }
}

// One line of a map: <glyph> <code> of a bfchar map; <first> <last> [<code> ...] or
// <first> <last> <code> of a bfrange map.
void renameLine(QByteArray& pdf, qsizetype from, qsizetype to, bool pairs) {
    const QByteArray line = pdf.mid(from, to - from);
    std::vector<qsizetype> tokens;  // where the four hex digits of each <XXXX> start
    for (qsizetype at = line.indexOf('<'); at >= 0 && at + 5 < line.size();
         at = line.indexOf('<', at + 1)) {
        if (line[at + 5] == '>' &&
            std::all_of(line.begin() + at + 1, line.begin() + at + 5, isHexDigit)) {
            tokens.push_back(from + at + 1);
        }
    }
    const qsizetype bracket = line.indexOf('[');
    if (pairs && tokens.size() == 2) {
        renameRadical(pdf, tokens[1]);
    } else if (!pairs && bracket >= 0) {
        for (qsizetype t : tokens) {
            if (t > from + bracket) {
                renameRadical(pdf, t);
            }
        }
    } else if (!pairs && tokens.size() == 3 && pdf.mid(tokens[0], 4) == pdf.mid(tokens[1], 4)) {
        // A single glyph; a run of glyphs counts up from its code and is left as it is.
        renameRadical(pdf, tokens[2]);
    }
}

}  // namespace

void nameRadicalsByIdeographs(QByteArray& pdf) {
    for (const bool pairs : {false, true}) {
        const QByteArray begin = pairs ? "beginbfchar" : "beginbfrange";
        const QByteArray end = pairs ? "endbfchar" : "endbfrange";
        for (qsizetype at = pdf.indexOf(begin); at >= 0; at = pdf.indexOf(begin, at)) {
            const qsizetype stop = pdf.indexOf(end, at);
            if (stop < 0) {
                break;
            }
            for (qsizetype line = at; line < stop;) {
                const qsizetype next = pdf.indexOf('\n', line);
                const qsizetype lineEnd = next < 0 || next > stop ? stop : next;
                renameLine(pdf, line, lineEnd, pairs);
                line = lineEnd + 1;
            }
            at = stop;
        }
    }
}

}  // namespace kiv::report
