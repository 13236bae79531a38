#include "database/Values.h"

#include <cmath>

namespace kiv::database {

double roundHalfEven(double x) {
    const double f = std::floor(x);
    const double diff = x - f;
    if (diff > 0.5) {
        return f + 1;
    }
    if (diff < 0.5) {
        return f;
    }
    return std::fmod(f, 2.0) == 0.0 ? f : f + 1;
}

qint64 readNumber(const QVariant& value, const QString& column) {
    if (value.isNull()) {
        failNullUse(column);
    }
    bool ok = false;
    if (value.typeId() == QMetaType::Double) {
        const double d = roundHalfEven(value.toDouble());
        if (!std::isfinite(d) || d < -9.2e18 || d > 9.2e18) {
            failOverflow(column);
        }
        return static_cast<qint64>(d);
    }
    const qint64 n = value.toLongLong(&ok);
    if (ok) {
        return n;
    }
    const double d = value.toDouble(&ok);
    if (!ok) {
        throw Failure(FailureKind::TypeMismatch,
                      QString::fromUtf8(kTypeMismatchDescription) + " (" + column + ")");
    }
    return readNumber(QVariant(d), column);
}

bool readYesNo(const QVariant& value, const QString& column) {
    return readNumber(value, column) != 0;
}

QString readText(const QVariant& value) {
    return value.isNull() ? QString("") : value.toString();
}

QDate readDate(const QVariant& value, const QString& column) {
    if (value.isNull()) {
        failNullUse(column);
    }
    // Stored as YYYY-MM-DD; a time part written by another program is ignored.
    const QDate d = QDate::fromString(value.toString().left(10), Qt::ISODate);
    if (!d.isValid()) {
        throw Failure(FailureKind::TypeMismatch,
                      QString::fromUtf8(kTypeMismatchDescription) + " (" + column + ")");
    }
    return d;
}

QString trimBlanks(const QString& text) {
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && text[b] == u' ') {
        ++b;
    }
    while (e > b && text[e - 1] == u' ') {
        --e;
    }
    return text.mid(b, e - b);
}

QString isoDate(const QDate& date) {
    return date.toString(u"yyyy-MM-dd");
}

QString collectionDateText(const QDate& d) {
    return d.toString(u"MM/dd/yyyy");
}

QString yearFirstText(const QDate& d) {
    return d.toString(u"yyyy/MM/dd");
}

QString rocDateText(const QDate& d) {
    return QString::number(d.year() - 1911) + d.toString(u"/MM/dd");
}

QString rocAndIsoText(const QDate& d) {
    return QStringLiteral("%1 (%2)").arg(rocDateText(d), isoDate(d));
}

QDate dateFromCollectionText(const QString& text) {
    if (text.size() != 10) {
        return {};
    }
    return QDate::fromString(text, u"MM/dd/yyyy");
}

}  // namespace kiv::database
