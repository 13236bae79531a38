#include "report/ReportPdf.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QPainter>
#include <QPdfWriter>
#include <QSet>
#include <QTextLayout>
#include <algorithm>
#include <functional>

#include "database/Values.h"
#include "report/PdfGlyphNames.h"
#include "report/ReportText.h"
#include "screen/Texts.h"

namespace kiv::report {

namespace {

constexpr qreal kBodyPoints = 8;
constexpr qreal kTitlePoints = 14;
constexpr qreal kMarginMm = 12;
constexpr qreal kStatusMaxMm = 70;  // a longer failure cause is cut short with an ellipsis

QFont reportFont(qreal points, bool bold) {
    QFont f;
    // Latin letters and digits from a Latin face: after a letter, the CJK face draws digits with
    // glyphs of its own that a PDF reader cannot turn back into text.
    f.setFamilies({"DejaVu Sans", "Noto Sans CJK TC"});
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

// The fonts of one scale and the measures that follow from them, in the writer's units.
struct Style {
    Style(const QPaintDevice& device, qreal scale)
        : body(reportFont(kBodyPoints * scale, false)),
          bold(reportFont(kBodyPoints * scale, true)),
          title(reportFont(kTitlePoints * scale, true)),
          bodyMetrics(body, &device),
          boldMetrics(bold, &device),
          titleMetrics(title, &device),
          // CJK glyphs stand taller than Latin ones: the line is set by the point size.
          line(kBodyPoints * scale * device.logicalDpiY() / 72.0 * 1.45),
          pad(line * 0.3),
          mm(device.logicalDpiX() / 25.4) {}

    QFont body, bold, title;
    QFontMetricsF bodyMetrics, boldMetrics, titleMetrics;
    qreal line;
    qreal pad;  // either side of a cell
    qreal mm;
};

struct Column {
    QString head;
    bool right = false;  // numbers stand right-aligned
    qreal width = 0;
    bool unique = false;  // a text of its own on every row (the student id), not worth keeping
    qreal x = 0;
};
using Columns = std::vector<Column>;

qreal widthOf(const Columns& columns) {
    return columns.empty() ? 0 : columns.back().x + columns.back().width;
}

// Widens each column to its head and places the columns side by side.
void place(Columns& columns, const Style& s) {
    qreal x = 0;
    for (Column& c : columns) {
        c.width = std::max(c.width, s.boldMetrics.horizontalAdvance(c.head)) + 2 * s.pad;
        c.x = x;
        x += c.width;
    }
}

qreal widest(const QFontMetricsF& fm, const QStringList& texts) {
    qreal w = 0;
    for (const QString& t : texts) {
        w = std::max(w, fm.horizontalAdvance(t));
    }
    return w;
}

// The bill table: student id, grade, class, channel, amount, fee, the items, status.
std::vector<std::optional<qint64>> numbersOf(const Bill& b) {
    std::vector<std::optional<qint64>> n = {b.grade, b.cls, b.amount, b.fee};
    n.insert(n.end(), b.items.begin(), b.items.end());
    return n;
}

QStringList billCells(const Bill& b, const QHash<QString, QString>& shownStatus) {
    QStringList cells{b.stdid};
    for (const std::optional<qint64>& n : numbersOf(b)) {
        cells << amountText(n);
    }
    cells.insert(3, store::wayName(b.way));
    const QString status = statusText(b);
    cells << shownStatus.value(status, status);
    return cells;
}

// The widest content of each column, gathered once: the longest student id, the smallest and
// largest value of each number column (digits are of one width), every channel and status.
struct BillContent {
    explicit BillContent(const BatchReport& r) {
        heads = QStringList{Texts::tr("grade"), Texts::tr("class"), Texts::tr("amount"),
                            Texts::tr("fee")};
        for (qint64 item : r.itemIds) {
            heads << Texts::tr("item %1").arg(item);
        }
        ranges.assign(size_t(heads.size()), {0, 0});
        QSet<QString> wayTexts, statusTexts;
        for (const Bill& b : r.bills) {
            const auto numbers = numbersOf(b);
            for (size_t i = 0; i < numbers.size(); ++i) {
                if (numbers[i]) {
                    ranges[i] = {std::min(ranges[i].first, *numbers[i]),
                                 std::max(ranges[i].second, *numbers[i])};
                }
            }
            longestId = b.stdid.size() > longestId.size() ? b.stdid : longestId;
            wayTexts.insert(store::wayName(b.way));
            statusTexts.insert(statusText(b));
        }
        ways = wayTexts.values();
        statuses = statusTexts.values();
    }

    QStringList heads;  // of the number columns
    std::vector<std::pair<qint64, qint64>> ranges;
    QString longestId;
    QStringList ways, statuses;
};

// The status column is kept to kStatusMaxMm.
Columns billColumns(const BillContent& content, const Style& s) {
    Columns columns{
        {Texts::tr("student id"), false, s.bodyMetrics.horizontalAdvance(content.longestId), true}};
    for (size_t i = 0; i < content.ranges.size(); ++i) {
        const auto [low, high] = content.ranges[i];
        columns.push_back({content.heads[qsizetype(i)], true,
                           widest(s.bodyMetrics, {amountText(low), amountText(high)})});
    }
    columns.insert(columns.begin() + 3,
                   {Texts::tr("channel"), false, widest(s.bodyMetrics, content.ways)});
    columns.push_back({Texts::tr("status"), false,
                       std::min(widest(s.bodyMetrics, content.statuses), kStatusMaxMm * s.mm)});
    place(columns, s);
    return columns;
}

// Lays text down the pages: the running head at the top of each page, 第 N 頁，共 M 頁 at its
// foot, and a table's column heads again on every page it runs onto. Without a painter it only
// counts the pages.
class Sheet {
public:
    Sheet(QPdfWriter& writer, QPainter* painter, const Style& style, QString running, int pages)
        : m_writer(writer),
          m_painter(painter),
          m_style(style),
          m_running(std::move(running)),
          m_pages(pages),
          m_bottom(writer.height() - 2 * style.line) {
        startPage();
    }

    int pages() const { return m_page; }

    // A paragraph across the page, broken into lines where it does not fit.
    void paragraph(const QString& text, const QFont& font, const QFontMetricsF& fm) {
        const QRectF box(0, 0, m_writer.width(), m_bottom);
        const qreal height =
            fm.boundingRect(box, Qt::TextWordWrap, text).height() + 0.3 * m_style.line;
        room(height);
        if (m_painter) {
            use(font);
            m_painter->drawText(QRectF(0, m_y, box.width(), height), Qt::TextWordWrap, text);
        }
        m_y += height;
    }

    void skip(qreal lines) { m_y += lines * m_style.line; }

    void table(const Columns& columns, qsizetype rows,
               const std::function<QStringList(qsizetype)>& cells) {
        room(2 * m_style.line);  // the heads with at least one row under them
        m_table = &columns;
        heads();
        for (qsizetype i = 0; i < rows; ++i) {
            room(m_style.line);
            if (m_painter) {
                use(m_style.body);
                drawCells(cells(i));
            }
            m_y += m_style.line;
        }
        m_table = nullptr;
        skip(0.6);
    }

private:
    // Room for `height` more on this page, else the next page.
    void room(qreal height) {
        if (m_y + height <= m_bottom) {
            return;
        }
        if (m_painter) {
            m_writer.newPage();
        }
        startPage();
        if (m_table) {
            heads();
        }
    }

    void startPage() {
        ++m_page;
        m_y = 0;
        if (m_painter) {
            use(m_style.body);
            m_painter->drawText(QPointF(0, m_style.bodyMetrics.ascent()), m_running);
            const QString folio = Texts::tr("page %1 of %2").arg(m_page).arg(m_pages);
            const qreal x = (m_writer.width() - m_style.bodyMetrics.horizontalAdvance(folio)) / 2;
            m_painter->drawText(QPointF(x, m_writer.height() - m_style.bodyMetrics.descent()),
                                folio);
        }
        m_y = 1.8 * m_style.line;
    }

    void heads() {
        if (m_painter) {
            use(m_style.bold);
            const qreal baseline = m_y + m_style.line * 0.8;
            for (const Column& c : *m_table) {
                const qreal x = c.right ? c.x + c.width - m_style.pad -
                                              m_style.boldMetrics.horizontalAdvance(c.head)
                                        : c.x + m_style.pad;
                m_painter->drawText(QPointF(x, baseline), c.head);
            }
            const qreal rule = m_y + m_style.line * 1.1;
            m_painter->drawLine(QPointF(0, rule), QPointF(widthOf(*m_table), rule));
        }
        m_y += 1.3 * m_style.line;
    }

    // A text laid out once and drawn as its glyphs wherever it recurs: amounts, channels and
    // statuses repeat all down a batch.
    struct Shaped {
        QList<QGlyphRun> runs;  // one per face: Latin and CJK
        qreal width = 0;
        qreal ascent = 0;
    };

    const Shaped& shaped(const QString& text) {
        auto at = m_shaped.constFind(text);
        if (at == m_shaped.cend()) {
            QTextLayout layout(text, m_style.body, &m_writer);
            layout.beginLayout();
            const QTextLine line = layout.createLine();
            layout.endLayout();
            at =
                m_shaped.insert(text, {layout.glyphRuns(), line.naturalTextWidth(), line.ascent()});
        }
        return *at;
    }

    void drawCells(const QStringList& cells) {
        const qreal baseline = m_y + m_style.line * 0.8;
        for (size_t i = 0; i < m_table->size() && i < size_t(cells.size()); ++i) {
            const Column& c = (*m_table)[i];
            const QString& text = cells[qsizetype(i)];
            if (text.isEmpty()) {
                continue;
            }
            if (c.unique) {
                m_painter->drawText(QPointF(c.x + m_style.pad, baseline), text);
                continue;
            }
            const Shaped& s = shaped(text);
            const qreal x = c.right ? c.x + c.width - m_style.pad - s.width : c.x + m_style.pad;
            for (const QGlyphRun& run : s.runs) {
                m_painter->drawGlyphRun(QPointF(x, baseline - s.ascent), run);
            }
        }
    }

    // Fonts are set only when they change.
    void use(const QFont& font) {
        if (m_font != &font) {
            m_painter->setFont(font);
            m_font = &font;
        }
    }

    QPdfWriter& m_writer;
    QPainter* m_painter;
    const Style& m_style;
    QString m_running;
    int m_pages;
    qreal m_bottom;
    int m_page = 0;
    qreal m_y = 0;
    const Columns* m_table = nullptr;
    const QFont* m_font = nullptr;
    QHash<QString, Shaped> m_shaped;
};

// A small table measured cell by cell: a text column, then numbers.
Columns measured(const QStringList& heads, const std::vector<QStringList>& rows, const Style& s) {
    Columns columns;
    for (qsizetype i = 0; i < heads.size(); ++i) {
        QStringList texts;
        for (const QStringList& row : rows) {
            texts << row[i];
        }
        // Numbers set a little apart from the column before.
        columns.push_back(
            {heads[i], i > 0, widest(s.bodyMetrics, texts) + (i > 0 ? 2 * s.pad : 0)});
    }
    place(columns, s);
    return columns;
}

void drawReport(Sheet& sheet, const BatchReport& r, const Style& s, const Columns& bills,
                const QHash<QString, QString>& shownStatus) {
    const QStringList header = headerLines(r.header);
    sheet.paragraph(header[0], s.title, s.titleMetrics);
    for (qsizetype i = 1; i < header.size(); ++i) {
        sheet.paragraph(header[i], s.body, s.bodyMetrics);
    }
    sheet.skip(0.6);
    sheet.table(bills, qsizetype(r.bills.size()),
                [&](qsizetype i) { return billCells(r.bills[size_t(i)], shownStatus); });

    const BatchTotals& t = r.totals;
    std::vector<QStringList> channels = {
        {Texts::tr("all"), amountText(t.all.count), amountText(t.all.amount)}};
    for (const Channel channel : shownChannels(t)) {
        const Total& total = t.of(channel);
        channels.push_back(
            {channelName(channel), amountText(total.count), amountText(total.amount)});
    }
    std::vector<QStringList> classes;
    for (const auto& [key, total] : t.classes) {
        classes.push_back({classText(key), amountText(total.count), amountText(total.amount)});
    }
    sheet.paragraph(Texts::tr("Totals"), s.bold, s.boldMetrics);
    const Columns channelColumns =
        measured({Texts::tr("channel"), Texts::tr("bills"), Texts::tr("amount")}, channels, s);
    sheet.table(channelColumns, qsizetype(channels.size()),
                [&](qsizetype i) { return channels[size_t(i)]; });
    sheet.paragraph(Texts::tr("Fees in all: %1 yuan").arg(amountText(t.fees)), s.body,
                    s.bodyMetrics);
    sheet.paragraph(countsText(t), s.body, s.bodyMetrics);
    sheet.paragraph(standingsNote(), s.body, s.bodyMetrics);
    sheet.skip(0.6);
    sheet.paragraph(Texts::tr("Totals by class"), s.bold, s.boldMetrics);
    const Columns classColumns =
        measured({Texts::tr("class"), Texts::tr("bills"), Texts::tr("amount")}, classes, s);
    sheet.table(classColumns, qsizetype(classes.size()),
                [&](qsizetype i) { return classes[size_t(i)]; });
}

}  // namespace

QByteArray reportPdf(const BatchReport& report) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setTitle(Texts::tr("Collection batch report %1 %2")
                        .arg(groupText(report.header), database::rocAndIsoText(report.header.day)));
    writer.setCreator("kiv2200");
    // The table at full size decides the page's orientation and, where even landscape is too
    // narrow, the scale of the whole report.
    const auto layout = [&](QPageLayout::Orientation o) {
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), o,
                                         QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                         QPageLayout::Millimeter));
    };
    layout(QPageLayout::Portrait);
    const BillContent content(report);
    const qreal natural = widthOf(billColumns(content, Style(writer, 1)));
    if (natural > writer.width()) {
        layout(QPageLayout::Landscape);
    }
    const Style style(writer, std::min<qreal>(1, writer.width() / natural));
    Columns bills = billColumns(content, style);
    bills.back().width += std::max<qreal>(0, writer.width() - widthOf(bills));
    // The status texts as they fit their column.
    QHash<QString, QString> shownStatus;
    for (const QString& status : content.statuses) {
        shownStatus.insert(status, style.bodyMetrics.elidedText(
                                       status, Qt::ElideRight, bills.back().width - 2 * style.pad));
    }
    const QString running =
        Texts::tr("Collection batch report   payment group %1   collection date %2")
            .arg(groupText(report.header), database::rocAndIsoText(report.header.day));
    int pages = 0;
    {
        Sheet counting(writer, nullptr, style, running, 0);
        drawReport(counting, report, style, bills, shownStatus);
        pages = counting.pages();
    }
    QPainter painter(&writer);
    Sheet sheet(writer, &painter, style, running, pages);
    drawReport(sheet, report, style, bills, shownStatus);
    painter.end();
    QByteArray pdf = buffer.data();
    nameRadicalsByIdeographs(pdf);
    return pdf;
}

}  // namespace kiv::report
