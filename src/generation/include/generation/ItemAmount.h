#pragma once
// What one student owes for one catalogue item of a payment group, once the statuses the student
// holds have had their say. A pure rule over the catalogue amount and the aggregates of the
// student's statuses for that item; it reads nothing and writes nothing.

#include <QVariant>
#include <QtGlobal>

namespace kiv::generation {

// What all the statuses of one student do to one item, folded the way max()/min() fold them
// over the student's status rows for the item: Nulls are ignored, and a value is Null when no
// row has one. The numbers are kept as stored; they are converted where the rule uses them.
struct StatusAggregates {
    QVariant maxSubamt;      // the largest amount taken off
    QVariant minAddamt;      // the smallest amount added
    QVariant minReviseRate;  // the smallest percentage to be paid
    // Whether any status asks for one third or two thirds; their values never matter.
    bool onethird = false;
    bool twothirds = false;
    bool waived = false;  // some status has allsub 'V' for the item
};

// The item amount: a credit item (A < 0) as it stands; a waived item 0; otherwise A less the
// largest reduction the statuses grant, never below 0. Throws database::Failure on a 32-bit
// overflow or an aggregate outside 32 bits.
qint32 itemAmount(qint32 A, const StatusAggregates& statuses);

}  // namespace kiv::generation
