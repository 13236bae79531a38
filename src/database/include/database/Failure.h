#pragma once
// The one failure of the store and the engines: a run-time error with its description. Routines
// throw it from anywhere inside their work and catch it at their single failure exit, which
// turns it into a flag and, where the system shows one, a message. It never crosses a routine
// that the window or kiv2200 calls.

#include <QByteArray>
#include <QString>
#include <exception>

namespace kiv::database {

enum class FailureKind {
    Database,      // the database could not be opened, or a statement failed
    Busy,          // another process held the database's lock longer than the command waits
    NullUse,       // a Null stood where a value is required
    Overflow,      // a value or a sum outside its width
    TypeMismatch,  // a stored value that is not of the expected kind
};

// The descriptions the run-time gives for its own errors, as the clerks know them.
inline constexpr const char* kNullUseDescription = "Null 的使用不正確";
inline constexpr const char* kOverflowDescription = "溢位";
inline constexpr const char* kTypeMismatchDescription = "型態不符合";

class Failure : public std::exception {
public:
    Failure(FailureKind kind, QString description, qint64 number = 0)
        : m_kind(kind),
          m_description(std::move(description)),
          m_number(number),
          m_utf8(m_description.toUtf8()) {}

    FailureKind kind() const { return m_kind; }
    const QString& description() const { return m_description; }
    // The database's own result code, where it gave one; 0 otherwise.
    qint64 number() const { return m_number; }
    const char* what() const noexcept override { return m_utf8.constData(); }
    // The statement that failed, where it is not the one that was running: on the server, a
    // row sent in bulk after it was added. Empty otherwise.
    const QString& shownStatement() const { return m_shownStatement; }
    Failure& withShownStatement(QString text) {
        m_shownStatement = std::move(text);
        return *this;
    }

private:
    FailureKind m_kind;
    QString m_description;
    qint64 m_number;
    QByteArray m_utf8;
    QString m_shownStatement;
};

// SQLite's primary result code for a database locked by another connection (SQLITE_BUSY), also
// the low byte of its extended busy codes.
inline constexpr qint64 kBusyResultCode = 5;

inline FailureKind kindOfResultCode(qint64 code) {
    return (code & 0xff) == kBusyResultCode ? FailureKind::Busy : FailureKind::Database;
}

[[noreturn]] inline void failNullUse(const QString& what) {
    throw Failure(FailureKind::NullUse, QString::fromUtf8(kNullUseDescription) + " (" + what + ")");
}

[[noreturn]] inline void failOverflow(const QString& what) {
    throw Failure(FailureKind::Overflow,
                  QString::fromUtf8(kOverflowDescription) + " (" + what + ")");
}

}  // namespace kiv::database
