#include "commands/DryRunFigures.h"

#include <QCoreApplication>

#include "commands/DateForms.h"
#include "database/Checked.h"
#include "database/Connection.h"
#include "database/Rows.h"
#include "database/Values.h"
#include "generation/BatchHeader.h"
#include "screen/Texts.h"
#include "store/Channels.h"

namespace kiv::commands {

namespace {

using kiv::database::Statement;

qint64 numberOr0(const QVariant& v, const char* column) {
    return v.isNull() ? 0 : kiv::database::readNumber(v, QString::fromLatin1(column));
}

// Rows of (channel or grade, class, count, amount, fees).
std::vector<FigureRow> rowsOf(kiv::database::Connection& c, const Statement& s, bool channels) {
    kiv::database::Rows q(c, s);
    std::vector<FigureRow> rows;
    while (q.next()) {
        FigureRow r;
        if (channels) {
            r.label = kiv::store::wayName(kiv::database::readText(q.value(0)));
        } else {
            r.label = Texts::tr("grade %1 class %2")
                          .arg(q.value(0).isNull() ? QStringLiteral("?")
                                                   : kiv::database::readText(q.value(0)),
                               q.value(1).isNull() ? QStringLiteral("?")
                                                   : kiv::database::readText(q.value(1)));
        }
        r.bills = numberOr0(q.value(2), "count");
        r.amount = numberOr0(q.value(3), "PayAmt");
        r.fees = numberOr0(q.value(4), "Fee");
        rows.push_back(r);
    }
    return rows;
}

QString line(const FigureRow& r) {
    return Texts::tr("  %1  %2 bills  %3 yuan  fees %4 yuan")
        .arg(r.label, kiv::generation::groupedNumber(r.bills),
             kiv::generation::groupedNumber(r.amount), kiv::generation::groupedNumber(r.fees));
}

}  // namespace

DryRunFigures readDryRunFigures(kiv::database::Connection& connection, const QDate& tranDay,
                                qint64 group, const kiv::store::BatchState& replaced) {
    DryRunFigures f{tranDay, group, replaced, {}, {}};
    f.channels = rowsOf(connection,
                        Statement("select PreWay, null, count(*), sum(PayAmt), sum(Fee)"
                                  " from KIV8_PayMent where TranDay = ")
                            .date(tranDay)
                            .sql(" and Grpid = ")
                            .number(group)
                            .sql(" group by PreWay order by PreWay"),
                        true);
    // A student's grade and class as the first row with the bill's id holds them.
    const QString first = QStringLiteral(
        "(select %1 from Kiv7_student S where S.Stdid = P.Stdid order by S.Grade, S.Clsid "
        "limit 1)");
    f.classes = rowsOf(connection,
                       Statement("select " + first.arg("Grade") + " as g, " + first.arg("Clsid") +
                                 " as c, count(*), sum(PayAmt), sum(Fee) from KIV8_PayMent P"
                                 " where P.TranDay = ")
                           .date(tranDay)
                           .sql(" and P.Grpid = ")
                           .number(group)
                           .sql(" and P.PreWay <> '3' group by g, c order by g, c"),
                       false);
    return f;
}

QString dryRunText(const DryRunFigures& f) {
    const QString cr = QString(QChar(13));
    QString text = Texts::tr("Trial figures: collection date %1, payment group %2")
                       .arg(rocAndIsoText(f.tranDay))
                       .arg(f.group);
    text += cr + (f.replaced.exists()
                      ? Texts::tr("replaces %1 payment records (including those without a "
                                  "bill), %2 yuan in all")
                            .arg(kiv::generation::groupedNumber(f.replaced.bills),
                                 kiv::generation::groupedNumber(f.replaced.billTotal))
                      : Texts::tr("replaces no bills"));
    text += cr + Texts::tr("By channel:");
    FigureRow total{Texts::tr("all"), 0, 0, 0};
    for (const FigureRow& r : f.channels) {
        text += cr + line(r);
        total.bills = kiv::database::checkedAdd(total.bills, r.bills, "bills");
        total.amount = kiv::database::checkedAdd(total.amount, r.amount, "amount");
        total.fees = kiv::database::checkedAdd(total.fees, r.fees, "fees");
    }
    text += cr + line(total);
    text += cr + Texts::tr("By grade and class (records without a bill left out):");
    for (const FigureRow& r : f.classes) {
        text += cr + line(r);
    }
    return text + cr + cr + Texts::tr("This was a trial: nothing in the database changed.");
}

}  // namespace kiv::commands
