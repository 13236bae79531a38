#pragma once
// One SQL statement as fixed pieces and values. It is executed with a placeholder for each value
// and the value bound, so no value is ever spliced into executed SQL; its display text, for the
// messages that show a statement, is rendered from the same pieces with each value in its literal
// form: text in single quotes, dates as #mm/dd/yyyy#, plain numbers, True/False, Null.

#include <QDate>
#include <QString>
#include <QVariant>
#include <initializer_list>
#include <optional>
#include <vector>

#include "database/Dialect.h"

namespace kiv::database {

class Statement {
public:
    // Any: a value of whatever kind it holds (a whole number, a real, a text, bytes), for the
    // tables of other programs that a move copies as they are.
    enum class Form { Text, Date, Number, YesNo, Any };

    Statement() = default;
    explicit Statement(const QString& piece) { sql(piece); }

    // A fixed piece, shown and executed alike.
    Statement& sql(const QString& piece);
    // A fixed piece whose executed form differs from the shown one ("delete * from" is shown as
    // the system writes it and executed as "delete from").
    Statement& sql(const QString& shown, const QString& executed);
    // A fixed piece the server executes otherwise than the file (a function or an order only one
    // of them knows); shown as on the file.
    Statement& sql(const QString& shown, const QString& executedOnFile,
                   const QString& executedOnServer);

    Statement& text(const QString& value);
    Statement& date(const QDate& value);
    Statement& number(qint64 value);
    Statement& yesNo(bool value);
    Statement& value(const QVariant& value);
    // A value that is unset: bound as Null, shown as Null.
    Statement& null(Form form);
    // Unset values of these forms, separated by commas: the value list of an insert whose values
    // are bound row by row with the set functions below.
    Statement& placeholders(std::initializer_list<Form> forms);

    // Re-binding the value at position i (0-based, in the order the values were added), so that a
    // prepared statement can be run again with other values.
    void setText(int i, const QString& value);
    void setDate(int i, const QDate& value);
    void setNumber(int i, qint64 value);
    void setYesNo(int i, bool value);
    void setValue(int i, const QVariant& value);
    void setNull(int i);
    // A Null bound as Null but shown as an empty place, as a statement that splices its values
    // into its text reads where the value is missing ("values(1,,5)").
    void setSplicedNull(int i);

    Form form(int i) const { return m_values[static_cast<size_t>(i)].form; }
    const QString& executedSql(Dialect dialect = Dialect::File) const {
        return dialect == Dialect::Server ? m_executedOnServer : m_executed;
    }
    QString displayText() const;
    int valueCount() const { return static_cast<int>(m_values.size()); }
    // The value at position i as it is bound.
    const QVariant& boundValue(int i) const { return m_values[static_cast<size_t>(i)].bound; }

private:
    struct Value {
        Form form;
        QVariant bound;
        bool nullShownEmpty = false;
    };
    struct Piece {
        QString shown;
        int value = -1;  // index into m_values, or -1 for a fixed piece
    };
    Statement& addValue(Form form, QVariant bound);
    static QString literal(const Value& v);

    QString m_executed;
    QString m_executedOnServer;
    std::vector<Piece> m_pieces;
    std::vector<Value> m_values;
};

}  // namespace kiv::database
