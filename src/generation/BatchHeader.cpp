#include "generation/BatchHeader.h"

namespace kiv::generation {

database::Statement batchHeaderStatement(const QDate& tranDay, qint64 groupId,
                                         const FeeSchedule& s) {
    database::Statement st(
        "insert into KIV10_Agency(TranDay,Grpid,Tranfee,SndAmt,TrdAmt,SmallFee,BtwnFee,ExcdFee");
    st.sql(",NetSndAmt,NetTrdAmt,NetSmallFee,NetBtwnFee,NetExcdFee");
    st.sql(",NetATMsndamt,NetATMTrdAmt,NetATMsmallFee,NetATMBtwnFee,NetATMexcdFee");
    if (s.IsUseCVS) {
        st.sql(",IsUseCVS,CVSName,CVSItem1,CVSItem2,CVSItem3");
        st.sql(
            ",CVSSmallamt,CVSSmallUserFee,CVSSmallGiroFee,CVSBtwnAmt,CVSBtwnUserFee,"
            "CVSBtwnGiroFee,CVSMaxAmt");
        st.sql(",CVSExcdUserFee,CVSExcdGiroFee)");
    } else {
        st.sql(")");
    }
    st.sql(" values(").date(tranDay).sql(",").number(groupId);
    for (const qint64 v :
         {qint64{s.TranFee}, qint64{s.SndAmt}, qint64{s.TrdAmt}, qint64{s.SmallFee},
          qint64{s.BtwnFee}, qint64{s.ExcdFee}, qint64{s.NetSndAmt}, qint64{s.NetTrdAmt},
          qint64{s.NetSmallFee}, qint64{s.NetBtwnFee}, qint64{s.NetExcdFee}, qint64{s.NetATMsndamt},
          qint64{s.NetATMTrdAmt}, qint64{s.NetATMsmallFee}, qint64{s.NetATMBtwnFee},
          qint64{s.NetATMexcdFee}}) {
        st.sql(",").number(v);
    }
    // Without convenience-store payment the store columns stay unset in the header.
    if (s.IsUseCVS) {
        st.sql(",").yesNo(true);
        st.sql(",").text(s.CVSName).sql(",").text(s.CVSItem1);
        st.sql(",").text(s.CVSItem2).sql(",").text(s.CVSItem3);
        for (const qint64 v :
             {qint64{s.CVSSmallamt}, qint64{s.CVSSmallUserFee}, qint64{s.CVSSmallGiroFee},
              qint64{s.CVSBtwnAmt}, qint64{s.CVSBtwnUserFee}, qint64{s.CVSBtwnGiroFee},
              qint64{s.CVSMaxAmt}, qint64{s.CVSExcdUserFee}, qint64{s.CVSExcdGiroFee}}) {
            st.sql(",").number(v);
        }
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
