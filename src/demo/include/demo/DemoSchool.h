#pragma once
// A realistic school for the demo package and the benchmark: payment groups (one without a
// name), grades with grade-wide and class items, a credit item, statuses of every kind, transfer
// and counter students, a few students who left, and a fee schedule with convenience-store bands.
// The same seed gives the same school.

#include <QString>
#include <cstdint>

namespace kiv::demo {

struct SchoolShape {
    int students = 1200;
    std::uint32_t seed = 2200;
    double statusShare = 0.30;   // students holding at least one status
    double counterShare = 0.40;  // students paying at the counter
    double leftShare = 0.015;    // students marked deleted
};

struct SchoolCounts {
    int students = 0;
    int activeStudents = 0;
    int classes = 0;
    int groups = 0;
    int statuses = 0;
};

// Writes the school into the (empty) database of baseFolder, in one transaction.
// Throws database::Failure on a database error.
SchoolCounts writeSchool(const QString& baseFolder, const SchoolShape& shape);

// The payment groups of the demo school.
inline constexpr int kTuitionGroup = 1;
inline constexpr int kLunchGroup = 2;
inline constexpr int kAfterSchoolGroup = 3;
inline constexpr int kTextbookGroup = 4;
inline constexpr int kUnnamedGroup = 5;

}  // namespace kiv::demo
