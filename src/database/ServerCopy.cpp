#include "database/ServerCopy.h"

#include <libpq-fe.h>

#include <QDate>
#include <QRegularExpression>

#include "ServerLink.h"
#include "database/DatabaseErrors.h"
#include "database/Failure.h"

namespace kiv::database {

namespace {
// One literal of a values list, in COPY text; nothing for what is not a plain literal.
std::optional<QByteArray> literalCopyText(const QString& token) {
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+$"));
    if (token.compare(QStringLiteral("null"), Qt::CaseInsensitive) == 0) {
        return QByteArray("\\N");
    }
    if (number.match(token).hasMatch()) {
        return token.toUtf8();
    }
    if (token.size() >= 2 && token.startsWith(u'\'') && token.endsWith(u'\'')) {
        const QString inner = token.mid(1, token.size() - 2);
        if (inner.contains(u'\'')) {
            return std::nullopt;
        }
        return copyText(inner);
    }
    return std::nullopt;
}
// A value of COPY text as it was before copyText escaped it.
QByteArray copyValue(const QByteArray& field) {
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        const char c = field[++i];
        out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return out;
}
}  // namespace

QByteArray copyText(const QVariant& value) {
    if (value.isNull()) {
        return QByteArray("\\N");
    }
    if (value.typeId() == QMetaType::QByteArray) {
        return "\\\\x" + value.toByteArray().toHex();  // bytea's hex form, its backslash escaped
    }
    QByteArray out;
    const QByteArray text = value.toString().toUtf8();
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::optional<ServerCopy> ServerCopy::of(const Statement& statement) {
    const QString& executedSql = statement.executedSql(Dialect::Server);
    static const QRegularExpression insert(
        QStringLiteral(R"(^\s*insert\s+into\s+(\w+)\s*\(([^()]*)\)\s*values\s*\(([^()]*)\)\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = insert.match(executedSql);
    if (!m.hasMatch()) {
        return std::nullopt;
    }
    const QStringList columns = m.captured(2).split(u',');
    const QStringList values = m.captured(3).split(u',');
    if (columns.size() != values.size()) {
        return std::nullopt;
    }
    ServerCopy copy;
    copy.m_shape = statement;
    int next = 0;
    for (const QString& raw : values) {
        const QString token = raw.trimmed();
        if (token == QStringLiteral("?")) {
            copy.m_columns.push_back({next++, {}});
            continue;
        }
        const std::optional<QByteArray> literal = literalCopyText(token);
        if (!literal) {
            return std::nullopt;
        }
        copy.m_columns.push_back({-1, *literal});
    }
    QStringList names;
    for (const QString& c : columns) {
        names << c.trimmed();
    }
    copy.m_copySql = QStringLiteral("COPY %1(%2) FROM STDIN").arg(m.captured(1), names.join(u','));
    return copy;
}

void ServerCopy::add(const Statement& statement) {
    bool first = true;
    for (const Column& c : m_columns) {
        if (!first) {
            m_data += '\t';
        }
        first = false;
        m_data += c.value < 0 ? c.literal : copyText(statement.boundValue(c.value));
    }
    m_data += '\n';
}

void ServerCopy::send(PGconn* conn) {
    if (m_data.isEmpty()) {
        return;
    }
    const QByteArray data = std::exchange(m_data, QByteArray());
    PGresult* r = PQexec(conn, m_copySql.toUtf8().constData());
    if (PQresultStatus(r) != PGRES_COPY_IN) {
        failServer(conn, r);
    }
    PQclear(r);
    if (PQputCopyData(conn, data.constData(), int(data.size())) != 1 ||
        PQputCopyEnd(conn, nullptr) != 1) {
        failServer(conn, nullptr);
    }
    PGresult* done = PQgetResult(conn);
    while (PGresult* more = PQgetResult(conn)) {
        PQclear(more);
    }
    if (PQresultStatus(done) != PGRES_COMMAND_OK) {
        // The server names the row it refused ("COPY t, line 2"): the clerk reads the insert of
        // that row, as on the file, where it fails when it runs.
        static const QRegularExpression row(QStringLiteral("COPY \\w+, line (\\d+)"));
        const QRegularExpressionMatch m =
            row.match(QString::fromUtf8(PQresultErrorField(done, PG_DIAG_CONTEXT)));
        Failure failure(
            FailureKind::Database,
            describeServerError(sqlStateOf(conn, done),
                                serverMessage(QString::fromUtf8(PQresultErrorMessage(done)))));
        PQclear(done);
        endFailedTransaction(conn);
        if (m.hasMatch()) {
            failure.withShownStatement(shownRow(data, m.captured(1).toLongLong()));
        }
        throw failure;
    }
    PQclear(done);
}

QString ServerCopy::shownRow(const QByteArray& rows, qsizetype line) const {
    const QList<QByteArray> fields = rows.split('\n').value(line - 1).split('\t');
    Statement shown = m_shape;
    for (qsizetype i = 0; i < qsizetype(m_columns.size()) && i < fields.size(); ++i) {
        const int v = m_columns[size_t(i)].value;
        if (v < 0) {
            continue;
        }
        if (fields[i] == "\\N") {
            shown.setNull(v);
            continue;
        }
        const QString text = QString::fromUtf8(copyValue(fields[i]));
        switch (shown.form(v)) {
            case Statement::Form::Text:
                shown.setText(v, text);
                break;
            case Statement::Form::Date:
                shown.setDate(v, QDate::fromString(text, Qt::ISODate));
                break;
            case Statement::Form::Number:
                shown.setNumber(v, text.toLongLong());
                break;
            case Statement::Form::YesNo:
                shown.setYesNo(v, text != QStringLiteral("0") && text != QStringLiteral("false"));
                break;
            case Statement::Form::Any:
                shown.setValue(v, text);
                break;
        }
    }
    return shown.displayText();
}

}  // namespace kiv::database
