#include "database/Statement.h"

#include "database/Values.h"

namespace kiv::database {

Statement& Statement::sql(const QString& piece) {
    return sql(piece, piece);
}

Statement& Statement::sql(const QString& shown, const QString& executed) {
    return sql(shown, executed, executed);
}

Statement& Statement::sql(const QString& shown, const QString& executedOnFile,
                          const QString& executedOnServer) {
    m_executed += executedOnFile;
    m_executedOnServer += executedOnServer;
    if (!m_pieces.empty() && m_pieces.back().value < 0) {
        m_pieces.back().shown += shown;
    } else {
        m_pieces.push_back({shown, -1});
    }
    return *this;
}

Statement& Statement::addValue(Form form, QVariant bound) {
    m_executed += u'?';
    m_executedOnServer += u'?';
    m_pieces.push_back({QString(), static_cast<int>(m_values.size())});
    m_values.push_back({form, std::move(bound)});
    return *this;
}

// Dates are stored as ISO text and yes/no values as -1 and 0 (see the storage contract).
Statement& Statement::text(const QString& value) {
    return addValue(Form::Text, value.isNull() ? QString("") : value);
}
Statement& Statement::date(const QDate& value) {
    return addValue(Form::Date, isoDate(value));
}
Statement& Statement::number(qint64 value) {
    return addValue(Form::Number, QVariant::fromValue(value));
}
Statement& Statement::yesNo(bool value) {
    return addValue(Form::YesNo, value ? -1 : 0);
}

Statement& Statement::value(const QVariant& value) {
    return addValue(Form::Any, value);
}

Statement& Statement::null(Form form) {
    const QMetaType type = (form == Form::Number || form == Form::YesNo)
                               ? QMetaType::fromType<qlonglong>()
                               : QMetaType::fromType<QString>();
    return addValue(form, QVariant(type));
}

Statement& Statement::placeholders(std::initializer_list<Form> forms) {
    bool first = true;
    for (Form form : forms) {
        if (!first) {
            sql(",");
        }
        first = false;
        null(form);
    }
    return *this;
}

void Statement::setText(int i, const QString& value) {
    m_values[static_cast<size_t>(i)] = {Form::Text, value.isNull() ? QString("") : value};
}
void Statement::setDate(int i, const QDate& value) {
    m_values[static_cast<size_t>(i)] = {Form::Date, isoDate(value)};
}
void Statement::setNumber(int i, qint64 value) {
    m_values[static_cast<size_t>(i)] = {Form::Number, QVariant::fromValue(value)};
}
void Statement::setYesNo(int i, bool value) {
    m_values[static_cast<size_t>(i)] = {Form::YesNo, value ? -1 : 0};
}
void Statement::setValue(int i, const QVariant& value) {
    m_values[static_cast<size_t>(i)] = {Form::Any, value};
}
void Statement::setNull(int i) {
    auto& v = m_values[static_cast<size_t>(i)];
    v = {v.form, QVariant(v.bound.metaType())};
}
void Statement::setSplicedNull(int i) {
    setNull(i);
    m_values[static_cast<size_t>(i)].nullShownEmpty = true;
}

QString Statement::literal(const Value& v) {
    if (v.bound.isNull()) {
        return v.nullShownEmpty ? QString() : QStringLiteral("Null");
    }
    switch (v.form) {
        case Form::Text:
            return u'\'' + v.bound.toString() + u'\'';
        case Form::Date:
            return u'#' + collectionDateText(QDate::fromString(v.bound.toString(), Qt::ISODate)) +
                   u'#';
        case Form::Number:
            return QString::number(v.bound.toLongLong());
        case Form::YesNo:
            return v.bound.toInt() != 0 ? QStringLiteral("True") : QStringLiteral("False");
        case Form::Any:
            break;
    }
    switch (v.bound.typeId()) {
        case QMetaType::QString:
            return u'\'' + v.bound.toString() + u'\'';
        case QMetaType::QByteArray:
            return QStringLiteral("X'") + QString::fromLatin1(v.bound.toByteArray().toHex()) +
                   u'\'';
        default:
            return v.bound.toString();
    }
}

QString Statement::displayText() const {
    QString out;
    for (const Piece& p : m_pieces) {
        out += p.value < 0 ? p.shown : literal(m_values[static_cast<size_t>(p.value)]);
    }
    return out;
}

}  // namespace kiv::database
