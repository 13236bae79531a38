#include "cli/Cli.h"

namespace kiv::cli {

namespace {

const char* const kUsage =
    "usage: kiv2200 [--base DIR] COMMAND [OPTIONS]\n"
    "\n"
    "Runs the batch commands of Kiv2200P1 without its window, on the package database\n"
    "DIR/mdb/KIV.mdb. DIR defaults to the package's base folder: the folder above the one\n"
    "that holds this program.\n"
    "\n"
    "commands:\n"
    "  generate --date D --group G [--deadline] [--yes] [--dry-run] [--quiet]\n"
    "                             generate the batch of group G for collection date D\n"
    "                             (tab 產生); --deadline ticks the counter-deadline box\n"
    "                             example: kiv2200 generate --date 2026-12-20 --group 1 --yes\n"
    "  delete --date D --group G [--quiet]\n"
    "                             delete the unsettled batch of group G on date D (tab 刪除)\n"
    "                             example: kiv2200 delete --date 2026-12-20 --group 1\n"
    "  apply --from D --to D --group G [--yes] [--dry-run] [--quiet]\n"
    "                             copy the batch of group G on date --from to the later\n"
    "                             date --to, priced with today's fees (tab 套用)\n"
    "                             example: kiv2200 apply --from 2026-12-20 --to 2027-01-20 "
    "--group 1\n"
    "  recollect --from D --to D --group G [--yes] [--dry-run] [--quiet]\n"
    "                             collect again, on date --to, the failed transfers of the\n"
    "                             batch of group G on date --from (tab 補收轉帳不成功)\n"
    "                             example: kiv2200 recollect --from 2026-11-20 --to 2026-12-20 "
    "--group 1\n"
    "  list groups|dates --tab T [--group G] [--date D]\n"
    "                             what a tab's list holds, a line per entry: the key to give\n"
    "                             as G or D, a tab, the text the list shows. T: 0 to 3 or\n"
    "                             generate, delete, apply, recollect; the dates of tabs 2\n"
    "                             and 3 are those of group G; the groups of tab 1 those of\n"
    "                             date D (of every date without it)\n"
    "                             example: kiv2200 list groups --tab generate\n"
    "  report --date D --group G [--pdf FILE] [--csv FILE]\n"
    "                             the batch as it stands: its summary, or with --pdf a\n"
    "                             printable report (A4) and with --csv one row per bill\n"
    "                             example: kiv2200 report --date 2026-12-20 --group 1 --pdf "
    "b.pdf\n"
    "  backups                    the copies of the database kept before each deletion or\n"
    "                             overwrite, newest first, with what each was taken before\n"
    "  restore FILE [--yes]       what putting a kept copy back would change; --yes puts it\n"
    "                             back (after checking it, keeping the current file too)\n"
    "                             example: kiv2200 restore KIV-20261220-093000-delete.mdb "
    "--yes\n"
    "  init-db                    create an empty database with the current schema;\n"
    "                             refuses to touch an existing file\n"
    "                             example: kiv2200 --base /srv/school init-db\n"
    "  demo [--students N] [--seed S]\n"
    "                             lay out a demo package in DIR: DIR/exe with the three\n"
    "                             programs and DIR/mdb/KIV.mdb with a realistic school\n"
    "                             (1200 students by default) and a few past batches\n"
    "                             example: kiv2200 --base demo demo --students 5000\n"
    "\n"
    "Dates D: 2026-12-20, 2026/12/20 or the lists' own form 115/12/20. G and the dates\n"
    "stand for the entries a clerk would choose in the tab's lists. Messages are printed on\n"
    "standard output, progress on standard error: at a terminal one line that keeps\n"
    "changing, otherwise each step and at most one count a second on lines of their own;\n"
    "--quiet shows none. A Yes/No question is answered Yes with --yes, asked at an\n"
    "interactive terminal, and answered No otherwise. --dry-run runs the whole command,\n"
    "prints what it would write (the summary, then bills by channel and by grade and class,\n"
    "and the bills it would replace) and rolls it back: the database is left as it was.\n"
    "\n"
    "kiv2200 --version prints its version.\n"
    "exit status: 0 done, 1 stopped or failed, 2 usage error\n";

}  // namespace

QString usageText() {
    return QString::fromUtf8(kUsage);
}

}  // namespace kiv::cli
