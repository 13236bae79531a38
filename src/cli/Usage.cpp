#include "cli/Cli.h"
#include "screen/Texts.h"

namespace kiv::cli {

namespace {

// A command of kiv2200 as --help shows it: how it is typed, what it does (translated; its lines
// indented under the first), an example.
struct CommandHelp {
    const char* synopsis;
    const char* what;
    const char* example;
};

const CommandHelp kCommands[] = {
    {"generate --date D --group G [--deadline] [--yes] [--dry-run] [--quiet]",
     QT_TRANSLATE_NOOP("kiv2200",
                       "generate the batch of group G for collection date D (tab 產生);\n"
                       "--deadline ticks the counter-deadline box"),
     "kiv2200 generate --date 2026-12-20 --group 1 --yes"},
    {"delete --date D --group G [--quiet]",
     QT_TRANSLATE_NOOP("kiv2200", "delete the unsettled batch of group G on date D (tab 刪除)"),
     "kiv2200 delete --date 2026-12-20 --group 1"},
    {"apply --from D --to D --group G [--yes] [--dry-run] [--quiet]",
     QT_TRANSLATE_NOOP("kiv2200",
                       "copy the batch of group G on date --from to the later date --to,\n"
                       "priced with today's fees (tab 套用)"),
     "kiv2200 apply --from 2026-12-20 --to 2027-01-20 --group 1"},
    {"recollect --from D --to D --group G [--yes] [--dry-run] [--quiet]",
     QT_TRANSLATE_NOOP("kiv2200",
                       "collect again, on date --to, the failed transfers of the batch of\n"
                       "group G on date --from (tab 補收轉帳不成功)"),
     "kiv2200 recollect --from 2026-11-20 --to 2026-12-20 --group 1"},
    {"list groups|dates --tab T [--group G] [--date D]",
     QT_TRANSLATE_NOOP("kiv2200",
                       "what a tab's list holds, a line per entry: the key to give as G or D,\n"
                       "a tab, the text the list shows. T: 0 to 3 or generate, delete, apply,\n"
                       "recollect; the dates of tabs 2 and 3 are those of group G; the groups\n"
                       "of tab 1 those of date D (of every date without it)"),
     "kiv2200 list groups --tab generate"},
    {"report --date D --group G [--pdf FILE] [--csv FILE]",
     QT_TRANSLATE_NOOP("kiv2200",
                       "the batch as it stands: its summary, with --pdf also a printable\n"
                       "report (A4), with --csv one row per bill; FILE - is standard output"),
     "kiv2200 report --date 2026-12-20 --group 1 --pdf b.pdf"},
    {"history [--date D] [--group G] [--limit N] | history ENTRY",
     QT_TRANSLATE_NOOP("kiv2200",
                       "the journal of batch writes, newest first: who changed which batch,\n"
                       "when and how; with ENTRY that entry whole"),
     "kiv2200 history --group 1 --limit 10"},
    {"undo ENTRY [--yes]",
     QT_TRANSLATE_NOOP("kiv2200",
                       "what undoing the journal's entry would do; --yes puts its batch back\n"
                       "as it stood before that write"),
     "kiv2200 undo 4 --yes"},
    {"backups",
     QT_TRANSLATE_NOOP("kiv2200",
                       "the copies of the database kept before each deletion or overwrite,\n"
                       "newest first, with what each was taken before"),
     "kiv2200 backups"},
    {"restore FILE [--yes]",
     QT_TRANSLATE_NOOP("kiv2200",
                       "what putting a kept copy back would change; --yes puts it back\n"
                       "(after checking it, keeping the current file too)"),
     "kiv2200 restore KIV-20261220-093000-delete.mdb --yes"},
    {"move-to-server --host H [--port P] --database D [--user U] [--quiet]",
     QT_TRANSLATE_NOOP("kiv2200",
                       "move the database from DIR/mdb/KIV.mdb to a PostgreSQL server (the\n"
                       "password from PGPASSWORD or ~/.pgpass), check every table on both\n"
                       "sides, then name the server in DIR/mdb/KIV.ini"),
     "kiv2200 move-to-server --host db.school.lan --database kiv --user clerk"},
    {"move-to-file [--quiet]",
     QT_TRANSLATE_NOOP("kiv2200",
                       "move the database from the server that KIV.ini names to a new\n"
                       "DIR/mdb/KIV.mdb; the server keeps its data"),
     "kiv2200 move-to-file"},
    {"init-db",
     QT_TRANSLATE_NOOP("kiv2200",
                       "create an empty database with the current schema, and DIR/exe with\n"
                       "the three programs when they stand beside this one; refuses to touch\n"
                       "an existing database"),
     "kiv2200 --base /srv/school init-db"},
    {"demo [--students N] [--seed S]",
     QT_TRANSLATE_NOOP("kiv2200",
                       "lay out a demo package in DIR: DIR/exe with the three programs and\n"
                       "DIR/mdb/KIV.mdb with a realistic school (1200 students by default)\n"
                       "and a few past batches"),
     "kiv2200 --base demo demo --students 5000"},
};

// Where the lines of a command's description start.
constexpr int kIndent = 6;

}  // namespace

QString usageText() {
    const QString indent(kIndent, u' ');
    QString text = Texts::tr("usage:") +
                   QStringLiteral(" kiv2200 [--base DIR] COMMAND [OPTIONS]\n\n") +
                   Texts::tr(
                       "Runs the batch commands of Kiv2200P1 without its window, on the "
                       "package database\nDIR/mdb/KIV.mdb. DIR defaults to the package's "
                       "base folder: the folder above the one\nthat holds this program.") +
                   QStringLiteral("\n\n") + Texts::tr("Commands:") + QStringLiteral("\n");
    for (const CommandHelp& c : kCommands) {
        text += QStringLiteral("  ") + QLatin1String(c.synopsis) + u'\n';
        for (const QString& line : Texts::tr(c.what).split(u'\n')) {
            text += indent + line + u'\n';
        }
        text += indent + Texts::tr("example:") + u' ' + QLatin1String(c.example) + u'\n';
    }
    return text + u'\n' +
           Texts::tr(
               "Dates D: 2026-12-20, 2026/12/20 or the lists' own form 115/12/20, month and "
               "day with one\nor two digits. G and the dates stand for the entries a clerk "
               "would choose in the tab's\nlists. Messages are printed on standard output, "
               "progress on standard error: at a\nterminal one line that keeps changing, "
               "otherwise each step and at most one count a\nsecond on lines of their own; "
               "--quiet shows none. A Yes/No question is answered Yes with\n--yes, asked at "
               "an interactive terminal, and answered No otherwise. --dry-run runs the\nwhole "
               "command, prints what it would write (the summary, then bills by channel and "
               "by\ngrade and class, and the bills it would replace) and rolls it back: the "
               "database is left\nas it was.") +
           QStringLiteral("\n\n") + Texts::tr("kiv2200 --version prints its version.") + u'\n' +
           Texts::tr("Exit status: 0 done, 1 stopped or failed, 2 usage error.") + u'\n';
}

}  // namespace kiv::cli
