#include "report/ReportCsv.h"

#include "report/ReportText.h"

namespace kiv::report {

namespace {

QString plain(std::optional<qint64> n) {
    return n ? QString::number(*n) : QString();
}

void appendRow(QString& out, const QStringList& fields) {
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            out += u',';
        }
        out += csvField(fields[i]);
    }
    out += u"\r\n";
}

}  // namespace

QString csvField(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r')) {
        return text;
    }
    return u'"' + QString(text).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

QByteArray reportCsv(const BatchReport& report) {
    QString out;
    QStringList heads = {"學號", "年級", "班級", "繳費方式", "金額", "手續費"};
    for (qint64 item : report.itemIds) {
        heads << "項目 " + QString::number(item);
    }
    heads << "狀態"
          << "轉帳失敗原因";
    appendRow(out, heads);
    for (const Bill& b : report.bills) {
        QStringList row = {b.stdid,         plain(b.grade), plain(b.cls), store::wayName(b.way),
                           plain(b.amount), plain(b.fee)};
        for (const std::optional<qint64>& item : b.items) {
            row << plain(item);
        }
        row << statusText(b, false) << b.failure;
        appendRow(out, row);
    }
    return "\xEF\xBB\xBF" + out.toUtf8();
}

}  // namespace kiv::report
