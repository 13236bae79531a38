#pragma once
// Qt names each glyph of an embedded font, for copying and searching, by the lowest code point
// the font maps to it. The CJK faces draw a Kangxi radical and its ideograph with one glyph, so
// 頁 would be copied as the radical ⾴ and a search for 頁 would miss it. The names stand in the
// font's ToUnicode map, which Qt writes uncompressed, as four hex digits: each radical's is
// rewritten in place, at the same length (the file's offsets stay true), to its ideograph's.

#include <QByteArray>

namespace kiv::report {

void nameRadicalsByIdeographs(QByteArray& pdf);

}  // namespace kiv::report
