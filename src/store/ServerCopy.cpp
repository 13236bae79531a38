#include "store/ServerCopy.h"

#include <QRegularExpression>

namespace kiv::store {

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
}  // namespace

QByteArray copyText(const QVariant& value) {
    if (value.isNull()) {
        return QByteArray("\\N");
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

std::optional<ServerCopy> ServerCopy::of(const QString& executedSql) {
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

QByteArray ServerCopy::take() {
    return std::exchange(m_data, QByteArray());
}

}  // namespace kiv::store
