#pragma once
// The toolbar's additional fields of one document table: which fields the company defines
// (Campo_Adicional_Definicion), and the values of the document on screen. Installed on a
// toolbar, it loads the values of a recalled document, stores them inside the save's
// transaction, and forgets them when the toolbar starts a new document or is cleared; an
// edited document keeps what it had.
#include "host/services/Entorno.h"

#include <string>
#include <vector>

namespace tesmira::forms {
class Toolbar;
}

namespace tesmira::host {

class CamposAdicionales {
public:
    struct Campo {
        std::string nombre;
        std::string descripcion;
        std::string valor;
    };

    // Reads the table's definitions now; an unknown table simply has none.
    CamposAdicionales(Entorno& entorno, std::string tabla);
    ~CamposAdicionales();
    CamposAdicionales(const CamposAdicionales&) = delete;
    CamposAdicionales& operator=(const CamposAdicionales&) = delete;

    // Hooks the toolbar's load and save calls; the toolbar must outlive this object or be
    // released from it first (the destructor unhooks it).
    void instala(forms::Toolbar& toolbar);

    const std::vector<Campo>& campos() const { return m_campos; }
    // The field by its name (any case); false when the company defines no such field.
    bool asigna(const std::string& nombre, const std::string& valor);
    void limpia();
    // Folio given to the last save that stored the fields (the note's new folio).
    const std::string& ultimoFolioGrabado() const { return m_ultimoFolio; }

    // The values of a stored document; fields it never had stay empty.
    void carga(const std::string& folio);
    // Replaces the stored values of the document by those on screen; false with the reason.
    bool graba(const std::string& folio, std::string& error);

private:
    Entorno& m_e;
    std::string m_tabla;
    std::vector<Campo> m_campos;
    std::string m_ultimoFolio;
    forms::Toolbar* m_toolbar = nullptr;
    int m_observer = -1;
};

} // namespace tesmira::host
