// Builds the school the batch benchmark times the engines on: the demo school (the same one that
// `kiv2200 demo` lays out, without its past batches) with N students, in BASE/mdb/KIV.mdb.
// Deterministic: the same N gives the same file.
//
//   kiv_bench_school BASE N
#include <QCoreApplication>
#include <cstdio>

#include "database/Failure.h"
#include "demo/DemoSchool.h"
#include "store/Schema.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bool ok = false;
    const int students = argc == 3 ? QString::fromLatin1(argv[2]).toInt(&ok) : 0;
    if (!ok || students < 1) {
        std::fprintf(stderr, "usage: kiv_bench_school BASE N\n");
        return 2;
    }
    const QString base = QString::fromLocal8Bit(argv[1]);
    if (const kiv::database::Result made = kiv::store::initDatabase(base); !made.ok) {
        std::fprintf(stderr, "kiv_bench_school: %s\n", qPrintable(made.description));
        return 1;
    }
    kiv::demo::SchoolShape shape;
    shape.students = students;
    try {
        kiv::demo::writeSchool(base, shape);
    } catch (const kiv::database::Failure& f) {
        std::fprintf(stderr, "kiv_bench_school: %s\n", f.what());
        return 1;
    }
    return 0;
}
