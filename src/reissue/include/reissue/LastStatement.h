#pragma once
// The statement a re-issue run built last, kept for the failure message that shows it. A
// statement built once is copied in; one re-bound for every row is followed by reference, so
// the command that owns it must outlive the reading of displayText().

#include <QString>

#include "store/Statement.h"

namespace kiv::reissue {

class LastStatement {
public:
    const store::Statement& keep(store::Statement statement) {
        m_copy = std::move(statement);
        m_current = &m_copy;
        return m_copy;
    }
    void follow(const store::Statement& statement) { m_current = &statement; }
    // Empty when no statement was built yet.
    QString displayText() const { return m_current ? m_current->displayText() : QString(); }

private:
    store::Statement m_copy;
    const store::Statement* m_current = nullptr;
};

}  // namespace kiv::reissue
