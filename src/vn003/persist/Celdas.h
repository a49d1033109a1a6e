#pragma once
// The cells of the grid's current row that a save reads row after row (some twenty a row),
// their columns looked up once, by position in the list of names given.
#include "forms/Grid.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace tesmira::vn003 {

class Celdas {
public:
    // An unknown name throws Error before any row is read.
    Celdas(forms::Grid& g, std::initializer_list<const char*> nombres)
    {
        m_columnas.reserve(nombres.size());
        for (const char* nombre : nombres)
            m_columnas.push_back(g.col(nombre));
    }
    forms::Grid::Column columna(size_t i) const { return m_columnas[i]; }
    std::string texto(size_t i) const { return m_columnas[i].value().toString(); }
    double numero(size_t i) const { return m_columnas[i].value().toDouble(); }

private:
    std::vector<forms::Grid::Column> m_columnas;
};

} // namespace tesmira::vn003
