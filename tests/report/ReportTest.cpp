// kiv2200 report on a generated batch: the totals against the database's own sums as bills are
// paid, fail and are locked; the summary, the CSV and the PDF read back; usage errors.
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <limits>

#include "CliRun.h"
#include "cli/Language.h"
#include "database/Connection.h"
#include "database/Failure.h"
#include "database/Values.h"
#include "report/BatchReport.h"
#include "report/PdfGlyphNames.h"
#include "report/ReportText.h"
#include "store/PackageDatabase.h"

namespace {

// The report in the clerk's Chinese, as kiv2200 speaks by default: its words are translated.
class InChinese : public ::testing::Environment {
    void SetUp() override { kiv::cli::installLanguage(QLocale(QLocale::Chinese, QLocale::Taiwan)); }
};
const auto* const kInChinese = ::testing::AddGlobalTestEnvironment(new InChinese);

using kiv::report::amountText;

const QDate kDay = kiv::test::kToday.addDays(1);
const QString kIso = kDay.toString(Qt::ISODate);

using Said = kiv::test::CliRun;

// A school with the lunch batch of kDay generated: its bills, no-bill records and items.
class ReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(pkg.run("generate --date " + kIso + " --group 2 --yes --quiet").status, 0);
    }
    // kiv2200 report on the batch, with `more` options.
    Said report(const QString& more = {}) const {
        return pkg.run("report --date " + kIso + " --group 2 " + more);
    }
    qint64 sql(const QString& select) const { return pkg.scalar(select).toLongLong(); }
    kiv::report::BatchReport read() const {
        kiv::database::Connection c(kiv::store::locateDatabase(pkg.path()));
        return kiv::report::readBatchReport(c, kDay, 2).value();
    }
    QString path(const QString& name) const { return files.path() + "/" + name; }

    kiv::test::DemoBase pkg{150};
    QTemporaryDir files;
};

// Splits CSV text into rows of fields, quotes undone.
std::vector<QStringList> parseCsv(const QString& text) {
    std::vector<QStringList> rows(1);
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted && c == '"' && text.mid(i + 1, 1) == "\"") {
            field += text[++i];  // a quote doubled inside quotes
        } else if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == ',' || c == '\n')) {
            rows.back() << std::exchange(field, {});
            rows.resize(rows.size() + (c == '\n'));
        } else if (quoted || c != '\r') {
            field += c;
        }
    }
    rows.pop_back();  // the empty one after the last line's end
    return rows;
}

// The text of a PDF's page `page` (every page when 0), as pdftotext lays it out.
QString pdfText(const QString& pdf, int page = 0) {
    const QString n = QString::number(page);
    QProcess p;
    p.start("pdftotext", (page > 0 ? QStringList{"-f", n, "-l", n} : QStringList()) +
                             QStringList{"-layout", pdf, "-"});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

// A batch with every overlap of the stored facts: its totals are the database's own sums whatever
// is paid, failed or locked; each bill counts under one status, the first that applies, and the
// counts add up to the batch, alike in the summary and the CSV.
TEST_F(ReportTest, totalsAreTheDatabaseSumsAndEachBillCountsUnderOneStatus) {
    using kiv::report::Standing;
    const struct {
        const char* bill;
        QString way;       // PreWay
        QVariant settled;  // PayStas: 1, 0, or empty as another program may leave it
        bool failed, locked;
        Standing standing;
        QString status;  // as the PDF's table shows it
    } bills[] = {
        {"settled after a failed transfer", "1", 1, true, false, Standing::Settled,
         "已繳（先前轉帳失敗：存款不足）"},
        {"locked and settled", "2", 1, false, true, Standing::Locked, "已鎖定（已繳）"},
        {"locked after a failed transfer", "1", 0, true, true, Standing::Locked,
         "已鎖定（轉帳失敗：存款不足）"},
        {"locked, settled after a failed transfer", "1", 1, true, true, Standing::Locked,
         "已鎖定（已繳；先前轉帳失敗：存款不足）"},
        {"a failed transfer", "1", 0, true, false, Standing::Failed, "轉帳失敗：存款不足"},
        {"a settled counter slip", "2", 1, false, false, Standing::Settled, "已繳"},
        {"a locked no-bill record", "3", 0, false, true, Standing::Locked, "已鎖定"},
        {"a no-bill record", "3", 0, false, false, Standing::NoBill, "無須繳費"},
        {"an unpaid transfer", "1", 0, false, false, Standing::Unpaid, "未繳"},
        {"a transfer with its PayStas empty", "1", {}, false, false, Standing::Unpaid, "未繳"},
    };
    // Each case on a student of its channel; the bills no case touches stay unpaid or owe nothing.
    std::array<qint64, kiv::report::kStandings> expected{};
    expected[size_t(Standing::NoBill)] =
        sql("select count(*) from KIV8_PayMent where PreWay = '3'");
    expected[size_t(Standing::Unpaid)] =
        sql("select count(*) from KIV8_PayMent where PreWay <> '3'");
    qint64 settledAfterFailure = 0;
    QMap<QString, int> taken;  // the students of each channel given a case so far
    QStringList ids;
    for (const auto& b : bills) {
        ids << pkg.scalar(
                      "select Stdid from KIV8_PayMent where PreWay = ? order by Stdid limit 1 "
                      "offset ?",
                      {b.way, taken[b.way]++})
                   .toString();
        ASSERT_FALSE(ids.back().isEmpty()) << b.bill;
        pkg.exec("update KIV8_PayMent set PayStas = ?, FailFac = ?, lock_data = ? where Stdid = ?",
                 {b.settled, b.failed ? "存款不足" : "", b.locked ? "1" : "0", ids.back()});
        --expected[size_t(b.way == "3" ? Standing::NoBill : Standing::Unpaid)];
        ++expected[size_t(b.standing)];
        settledAfterFailure += b.standing == Standing::Settled && b.failed ? 1 : 0;
    }
    const auto counted = [&](Standing s) { return amountText(expected[size_t(s)]) + " 筆"; };
    const QString counts = "已鎖定 " + counted(Standing::Locked) + "，已繳 " +
                           counted(Standing::Settled) + "（其中先前轉帳失敗 " +
                           amountText(settledAfterFailure) + " 筆），轉帳失敗 " +
                           counted(Standing::Failed) + "，無須繳費 " + counted(Standing::NoBill) +
                           "，未繳 " + counted(Standing::Unpaid) + "，合計 " +
                           amountText(sql("select count(*) from KIV8_PayMent")) + " 筆";

    const kiv::report::BatchReport r = read();
    for (size_t i = 0; i < std::size(bills); ++i) {
        const auto bill = std::ranges::find(r.bills, ids[i], &kiv::report::Bill::stdid);
        ASSERT_NE(bill, r.bills.end());
        EXPECT_EQ(kiv::report::statusText(*bill), bills[i].status) << bills[i].bill;
    }
    // The totals, whatever is paid, failed or locked.
    const kiv::report::BatchTotals& t = r.totals;
    EXPECT_EQ(r.header.groupName, "上學期午餐費");
    EXPECT_EQ(t.all, (kiv::report::Total{sql("select count(*) from KIV8_PayMent"),
                                         sql("select sum(PayAmt) from KIV8_PayMent")}));
    EXPECT_EQ(t.fees, sql("select sum(Fee) from KIV8_PayMent"));
    for (const auto channel : {kiv::report::Channel::Transfer, kiv::report::Channel::Counter,
                               kiv::report::Channel::NoBill}) {
        const QString of = QString(" from KIV8_PayMent where PreWay = '%1'").arg(int(channel) + 1);
        EXPECT_EQ(t.of(channel), (kiv::report::Total{sql("select count(*)" + of),
                                                     sql("select coalesce(sum(PayAmt), 0)" + of)}))
            << int(channel);
    }
    QVariantList classes;
    for (const auto& [key, total] : t.classes) {
        classes << QString("%1/%2:%3:%4")
                       .arg(*key.first)
                       .arg(*key.second)
                       .arg(total.count)
                       .arg(total.amount);
    }
    EXPECT_EQ(classes, pkg.column("select S.Grade || '/' || S.Clsid || ':' || count(*) || ':' "
                                  "|| sum(P.PayAmt) from KIV8_PayMent P join Kiv7_student S "
                                  "on S.Stdid = P.Stdid group by S.Grade, S.Clsid order by "
                                  "S.Grade, S.Clsid"));
    // The item columns hold every item row, each on its student's bill.
    qint64 items = 0;
    for (const kiv::report::Bill& b : r.bills) {
        for (const std::optional<qint64>& item : b.items) {
            items += item.value_or(0);
        }
    }
    EXPECT_EQ(items, sql("select sum(ItemAmt) from KIV9_Payitem"));
    QVariantList itemIds(r.itemIds.begin(), r.itemIds.end());
    EXPECT_EQ(itemIds, pkg.column("select distinct ItemId from KIV9_Payitem order by 1"));
    const Said summary = report();
    ASSERT_EQ(summary.status, 0) << summary.err.toStdString();
    EXPECT_TRUE(summary.out.endsWith(counts + "\n" + kiv::report::standingsNote() + "\n"))
        << counts.toStdString() << "\n"
        << summary.out.toStdString();

    // The CSV's status column holds the same one status, so that a spreadsheet counts alike.
    const Said csv = report("--csv " + path("b.csv"));
    ASSERT_EQ(csv.status, 0) << csv.err.toStdString();
    const std::vector<QStringList> rows =
        parseCsv(QString::fromUtf8(kiv::test::fileBytes(path("b.csv")).mid(3)));
    const qsizetype status = rows[0].indexOf("狀態");
    std::array<qint64, kiv::report::kStandings> inCsv{};
    for (size_t i = 1; i < rows.size(); ++i) {
        for (int s = 0; s < kiv::report::kStandings; ++s) {
            inCsv[size_t(s)] += rows[i][status] == standingName(Standing(s)) ? 1 : 0;
        }
        const qsizetype at = ids.indexOf(rows[i][0]);
        if (at >= 0) {
            EXPECT_EQ(rows[i][status], standingName(bills[at].standing)) << bills[at].bill;
        }
    }
    EXPECT_EQ(inCsv, expected);
}

TEST(ReportTotals, anOverflowingSumIsAnErrorNotAWrap) {
    kiv::report::Bill half;
    half.amount = std::numeric_limits<qint64>::max() / 2 + 1;
    EXPECT_EQ(kiv::test::failureKindOf([&] {
                  kiv::report::totalsOf({half, half});
              }),
              kiv::database::FailureKind::Overflow);
}

TEST_F(ReportTest, summaryUsageErrorsAndAMissingBatch) {
    const Said summary = report();
    EXPECT_EQ(summary.status, 0) << summary.err.toStdString();
    const QString all = "全部：" + amountText(sql("select count(*) from KIV8_PayMent")) +
                        " 筆，金額 " + amountText(sql("select sum(PayAmt) from KIV8_PayMent")) +
                        " 元，手續費 " + amountText(sql("select sum(Fee) from KIV8_PayMent")) +
                        " 元";
    const auto yuan = [&](const char* column) {
        return amountText(sql(QString("select %1 from KIV10_Agency").arg(column))) + " 元";
    };
    const QString counter = "臨櫃手續費：未滿 " + yuan("SndAmt") + "：" + yuan("SmallFee") + "；" +
                            yuan("SndAmt").chopped(2) + " 至 " + yuan("TrdAmt") + "：" +
                            yuan("BtwnFee") + "；超過 " + yuan("TrdAmt") + "：" + yuan("ExcdFee");
    // The middle store band: from the small band's bound up to its own.
    const QString middleBand = "；" + pkg.scalar("select CVSItem2 from KIV10_Agency").toString() +
                               " " + yuan("CVSSmallamt").chopped(2) + " 至 " + yuan("CVSBtwnAmt") +
                               "：" + yuan("CVSBtwnUserFee");
    for (const QString& line :
         QStringList{"繳費群組：2 上學期午餐費", "收款日期：" + kiv::database::rocAndIsoText(kDay),
                     "轉帳手續費：" + yuan("Tranfee"), counter, all}) {
        EXPECT_TRUE(summary.out.contains(line + "\n")) << line.toStdString() << "\n"
                                                       << summary.out.toStdString();
    }
    EXPECT_TRUE(summary.out.contains(middleBand)) << middleBand.toStdString();
    const Said none = pkg.run("report --date " + kIso + " --group 3");
    EXPECT_EQ(none.said(), "1 ");
    EXPECT_TRUE(none.err.contains("繳費群組 3 在 115/12/08")) << none.err.toStdString();
    EXPECT_EQ(kiv::test::runOn(files.path(), {"report", "--date", kIso, "--group", "2"}).status,
              1);  // no database
    // The options' common errors are kiv2200's; this one is the report's own.
    const std::pair<const char*, const char*> usages[] = {
        {"--date 2026-12-08 --group 2 --pdf a --csv ./a", "--pdf 與 --csv 指定了同一個檔案"},
        {"--date 2026-12-08 --group 2 --pdf - --csv -", "--pdf 與 --csv 只能有一個寫到標準輸出"}};
    for (const auto& [usage, what] : usages) {
        const Said r = pkg.run(QString("report ") + usage);
        EXPECT_EQ(r.status, 2) << usage;
        EXPECT_TRUE(r.err.startsWith(QString("kiv2200: ") + what) &&
                    r.err.endsWith("\nkiv2200 --help 有詳細說明\n") && r.err.count('\n') == 2)
            << r.err.toStdString();
    }
}

TEST_F(ReportTest, csvHasOneRowPerBillThatSumsToTheBatchAndNoFormula) {
    const QString cause = "帳號錯誤, 請洽 \"總務處\"\n再扣款";
    pkg.exec(
        "update KIV8_PayMent set FailFac = ? where Stdid = (select min(Stdid) from "
        "KIV8_PayMent where PreWay = '1')",
        {cause});
    // Texts typed by anyone that a spreadsheet would run as formulas; a negative amount.
    const QStringList formulas = {"=1+2",      "+1+2", "-2+3+cmd|' /C calc'!A0",
                                  "@SUM(1+1)", "\tx",  "\ry"};
    const QVariantList ids = pkg.column("select Stdid from KIV8_PayMent order by Stdid desc");
    for (qsizetype i = 0; i < formulas.size(); ++i) {
        for (const char* table : {"KIV8_PayMent", "KIV9_Payitem"}) {
            pkg.exec(QString("update %1 set Stdid = ? where Stdid = ?").arg(table),
                     {formulas[i], ids[i]});
        }
    }
    const QString link = "=HYPERLINK(\"http://x.invalid\",\"x\")";
    pkg.exec("update KIV8_PayMent set FailFac = ?, PayAmt = PayAmt - 1000000 where Stdid = ?",
             {link, formulas[0]});
    const Said r = report("--csv " + path("b.csv"));
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    // The summary as without a file, then the file.
    EXPECT_EQ(r.out, report().out + "已寫入 " + path("b.csv") + "\n");
    const QByteArray bytes = kiv::test::fileBytes(path("b.csv"));
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const std::vector<QStringList> rows = parseCsv(QString::fromUtf8(bytes.mid(3)));
    ASSERT_EQ(qint64(rows.size()), 1 + sql("select count(*) from KIV8_PayMent"));
    const qsizetype amount = rows[0].indexOf("金額"), failure = rows[0].indexOf("轉帳失敗原因");
    ASSERT_GE(amount, 0);
    qint64 sum = 0;
    qsizetype guarded = 0;  // the formulas, each behind a quote
    QStringList causes;
    for (size_t i = 1; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].size(), rows[0].size()) << i;
        sum += rows[i][amount].toLongLong();
        EXPECT_FALSE(rows[i][amount].startsWith('\'')) << rows[i][amount].toStdString();
        causes << rows[i][failure];
        guarded += rows[i][0].startsWith('\'') && formulas.contains(rows[i][0].mid(1)) ? 1 : 0;
    }
    EXPECT_EQ(sum, sql("select sum(PayAmt) from KIV8_PayMent"));
    EXPECT_EQ(causes.count(cause), 1);
    EXPECT_EQ(causes.count("'" + link), 1);
    EXPECT_EQ(guarded, formulas.size());
    // A file that cannot be written is no file at all.
    const Said lost = report("--csv " + path("no/such/b.csv"));
    EXPECT_EQ(lost.status, 1);
    EXPECT_TRUE(lost.err.startsWith("kiv2200: 無法寫入 " + path("no/such/b.csv")));
    EXPECT_EQ(QDir(files.path()).entryList(QDir::Files), QStringList{"b.csv"});
}

TEST_F(ReportTest, pdfReadsBackWithItsHeaderTotalsAndPageNumbers) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) {
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    }
    const Said r = report("--pdf " + path("b.pdf"));
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, report().out + "已寫入 " + path("b.pdf") + "\n");
    // The counts as the summary has them, and the note; lines the PDF wraps are joined again.
    const QString all = pdfText(path("b.pdf")).remove(QRegularExpression("\\s"));
    for (const QString& line :
         {kiv::report::countsText(read().totals), kiv::report::standingsNote()}) {
        EXPECT_TRUE(all.contains(QString(line).remove(' '))) << line.toStdString();
    }
    const auto page = [&](int n) { return pdfText(path("b.pdf"), n); };
    const QString first = page(1);
    const qsizetype of = first.indexOf("第 1 頁，共 ");
    ASSERT_GE(of, 0) << first.toStdString();
    const int pages = first.mid(of + 8).section(' ', 0, 0).toInt();
    ASSERT_GE(pages, 3);
    for (const QString& text :
         QStringList{"繳費群組：2 上學期午餐費", "收款日期：" + kiv::database::rocAndIsoText(kDay),
                     "學號", "金額"}) {
        EXPECT_TRUE(first.contains(text)) << text.toStdString();
    }
    EXPECT_TRUE(page(2).contains("學號")) << "the column heads again on page 2";
    const QString last = page(pages);
    EXPECT_TRUE(last.contains(QString("第 %1 頁，共 %1 頁").arg(pages)));
    const QString totals = page(pages - 1) + last;
    for (const char* way : {"", " where PreWay = '1'", " where PreWay = '2'"}) {
        const QString sum = amountText(sql(QString("select sum(PayAmt) from KIV8_PayMent") + way));
        EXPECT_TRUE(totals.contains(sum)) << way << " " << sum.toStdString();
    }
}

TEST(ReportPdf, radicalsInTheToUnicodeMapsBecomeTheirIdeographs) {
    QByteArray pdf =
        "<2F00> beginbfrange\n<0001> <0001> <2F00>\n<0002> <0004> [<2FB4> <0041> <2F9C> ]\n"
        "<0005> <0006> <2F00>\nendbfrange\n<2F08> beginbfchar\n<0007> <2F08>\nendbfchar\n";
    kiv::report::nameRadicalsByIdeographs(pdf);
    // A run of glyphs counts up from its code and keeps it; nothing outside the maps changes.
    EXPECT_EQ(pdf,
              "<2F00> beginbfrange\n<0001> <0001> <4E00>\n<0002> <0004> [<9801> <0041> <8DB3> ]\n"
              "<0005> <0006> <2F00>\nendbfrange\n<2F08> beginbfchar\n<0007> <4EBA>\nendbfchar\n");
}
