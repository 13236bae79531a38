#pragma once
// The statement a re-issue run built last, kept for the failure message that shows it. A
// statement built once is copied in; one re-bound for every row is followed by reference, so
// the command that owns it must outlive the reading of displayText().

#include <QString>

#include "database/Statement.h"

namespace kiv::reissue {

class LastStatement {
public:
    const database::Statement& keep(database::Statement statement) {
        m_copy = std::move(statement);
        m_current = &m_copy;
        return m_copy;
    }
    void follow(const database::Statement& statement) { m_current = &statement; }
    // Empty when no statement was built yet.
    QString displayText() const { return m_current ? m_current->displayText() : QString(); }

private:
    database::Statement m_copy;
    const database::Statement* m_current = nullptr;
};

}  // namespace kiv::reissue
