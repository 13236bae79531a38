#include "report/ReportCsv.h"

#include <vector>

#include "report/ReportText.h"
#include "screen/Texts.h"

namespace kiv::report {

namespace {

// The cells of one row: texts, or numbers already written as such.
struct Cell {
    QString value;
    bool number = false;
};

Cell text(const QString& t) {
    return {t, false};
}

Cell plain(std::optional<qint64> n) {
    return {n ? QString::number(*n) : QString(), true};
}

void appendRow(QString& out, const std::vector<Cell>& cells) {
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) {
            out += u',';
        }
        out += csvField(cells[i].number ? cells[i].value : csvText(cells[i].value));
    }
    out += u"\r\n";
}

}  // namespace

QString csvText(const QString& text) {
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    return !text.isEmpty() && formulaStarts.contains(text.front()) ? u'\'' + text : text;
}

QString csvField(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r')) {
        return text;
    }
    return u'"' + QString(text).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

QByteArray reportCsv(const BatchReport& report) {
    QString out;
    std::vector<Cell> heads = {text(Texts::tr("student id")), text(Texts::tr("grade")),
                               text(Texts::tr("class")),      text(Texts::tr("channel")),
                               text(Texts::tr("amount")),     text(Texts::tr("fee"))};
    for (qint64 item : report.itemIds) {
        heads.push_back(text(Texts::tr("item %1").arg(item)));
    }
    heads.push_back(text(Texts::tr("status")));
    heads.push_back(text(Texts::tr("cause of the failed transfer")));
    appendRow(out, heads);
    for (const Bill& b : report.bills) {
        std::vector<Cell> row = {text(b.stdid),   plain(b.grade),
                                 plain(b.cls),    text(store::wayName(b.way)),
                                 plain(b.amount), plain(b.fee)};
        for (const std::optional<qint64>& item : b.items) {
            row.push_back(plain(item));
        }
        // The status alone, so that a spreadsheet counts each bill once; an earlier failure of
        // a settled bill stands in the cause's column.
        row.push_back(text(standingName(b.standing())));
        row.push_back(text(b.failure));
        appendRow(out, row);
    }
    return "\xEF\xBB\xBF" + out.toUtf8();
}

}  // namespace kiv::report
