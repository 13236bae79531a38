#pragma once
// What a routine at a boundary (one that the window or kiv2200 calls) answers: done, or the
// failure's description with its number and the step code the routine had reached.

#include <QString>

#include "database/Failure.h"

namespace kiv::database {

struct Result {
    bool ok = true;
    QString description;
    qint64 number = 0;  // the database's result code or the system's errno, where there is one
    QString step;

    static Result failed(QString description, qint64 number = 0, QString step = {}) {
        return {false, std::move(description), number, std::move(step)};
    }
    static Result of(const Failure& f, QString step = {}) {
        return failed(f.description(), f.number(), std::move(step));
    }
};

}  // namespace kiv::database
