#include "generation/BatchHeader.h"

namespace kiv::generation {

database::Statement batchHeaderStatement(const QDate& tranDay, qint64 groupId,
                                         const FeeSchedule& s) {
    // Without convenience-store payment the store columns stay unset in the header.
    std::vector<const ScheduleColumn*> written;
    for (const ScheduleColumn& c : scheduleColumns()) {
        if (c.band == ScheduleColumn::Band::Fees || s.IsUseCVS) {
            written.push_back(&c);
        }
    }
    database::Statement st("insert into KIV10_Agency(TranDay,Grpid");
    for (const ScheduleColumn* c : written) {
        st.sql(",").sql(QString::fromLatin1(c->headerName));
    }
    st.sql(")").sql(" values(").date(tranDay).sql(",").number(groupId);
    for (const ScheduleColumn* c : written) {
        st.sql(",");
        std::visit(
            [&](auto field) {
                using T = std::remove_cvref_t<decltype(s.*field)>;
                if constexpr (std::is_same_v<T, QString>) {
                    st.text(s.*field);
                } else if constexpr (std::is_same_v<T, bool>) {
                    st.yesNo(s.*field);
                } else {
                    st.number(s.*field);
                }
            },
            c->field);
    }
    st.sql(")");
    return st;
}

QString groupedNumber(qint64 n) {
    // Digits of the magnitude as unsigned, so that the smallest 64-bit value prints too.
    const quint64 magnitude = n < 0 ? 0 - static_cast<quint64>(n) : static_cast<quint64>(n);
    const QString digits = QString::number(magnitude);
    QString out;
    out.reserve(digits.size() + digits.size() / 3 + 1);
    if (n < 0) {
        out += u'-';
    }
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            out += u',';
        }
        out += digits[i];
    }
    return out;
}

QString summaryText(const RunTotals& t) {
    const QString cr2 = QString(2, QChar(13));
    return QStringLiteral("轉 帳 總 數       ") + groupedNumber(t.transferCount) +
           QStringLiteral(" 筆") + cr2 + QStringLiteral("轉 帳 總 金 額  ") +
           groupedNumber(t.transferAmount) + QStringLiteral(" 元") + cr2 +
           QStringLiteral("臨 櫃 總 數       ") + groupedNumber(t.counterCount) +
           QStringLiteral(" 筆") + cr2 + QStringLiteral("臨 櫃 總 金 額  ") +
           groupedNumber(t.counterAmount) + QStringLiteral(" 元");
}

}  // namespace kiv::generation
