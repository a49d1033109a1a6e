#include "db/Savepoint.h"

namespace tesmira::db {

Savepoint::Savepoint(Connection& c) : m_c(c), m_ownTransaction(!c.inTransaction())
{
    if (m_ownTransaction)
        m_c.BeginTrans();
    else
        m_c.beginSavepoint();
}

Savepoint::~Savepoint()
{
    if (m_done || !m_c.inTransaction())
        return;
    try {
        if (m_ownTransaction)
            m_c.RollbackTrans();
        else
            m_c.rollbackSavepoint();
    } catch (...) {
        // a destructor must not throw; the caller's own rollback still undoes everything
    }
}

void Savepoint::commit()
{
    if (m_ownTransaction)
        m_c.CommitTrans();
    else
        m_c.releaseSavepoint();
    m_done = true;
}

} // namespace tesmira::db
