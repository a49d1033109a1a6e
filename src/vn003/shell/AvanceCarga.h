#pragma once
// A loader's row loop tells the host how far it got and ends where the clerk stops it:
//     for (AvanceCarga avance(rs, ssDetalle); !rs.Eof() && avance(); rs.MoveNext())
// Stopped, the rows loaded so far go too: part of an order in the grid would pass for all of
// it. Work inside a transaction is never stopped (a save ends whole or rolls back).
#include "db/Connection.h"
#include "db/Recordset.h"
#include "forms/Grid.h"
#include "host/services/Progreso.h"
#include "vn003/Publico.h"

#include <cstddef>

namespace tesmira::vn003 {

class AvanceCarga {
public:
    AvanceCarga(const db::Recordset& filas, forms::Grid& grid) : m_total(filas.rowCount()), m_grid(grid) {}

    // Counts the next row; false when the load ends here, the grid emptied.
    bool operator()()
    {
        if (Sistema().Progreso().Avance(++m_hechos, m_total) || Sistema().Conexion().inTransaction())
            return true;
        m_grid.removeAll();
        return false;
    }

private:
    size_t m_total;
    size_t m_hechos = 0;
    forms::Grid& m_grid;
};

} // namespace tesmira::vn003
