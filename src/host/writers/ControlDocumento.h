#pragma once
// The document control service: what happens around a document beyond its own rows (the
// order it delivers, the dispatch it closed, the audit trail, the automation that follows
// a note, the sale/invoice checks). Works inside the caller's transaction.
//
// Inicia opens a control session (only inside an open transaction); ProcesaBaja,
// Automatiza, ProcesaDocumento, ValidaDocumento and ConfirmaDocumento need one; Termina
// closes it. RegistraBaja and ActualizaPedido work without a session.
#include "host/services/Entorno.h"

#include <string>

namespace tesmira::host {

class ControlDocumento {
public:
    explicit ControlDocumento(Entorno& entorno);
    ~ControlDocumento();
    ControlDocumento(const ControlDocumento&) = delete;
    ControlDocumento& operator=(const ControlDocumento&) = delete;

    // False when no transaction is open or a session is already open.
    bool Inicia();
    // False when no session was open.
    bool Termina();

    // Effects of a cancelled "Remision" on other documents: its order returns to the state
    // it had before the note (see the .cpp for the rule) and a handheld dispatch the note
    // closed is finished ('FN') again. False for an empty folio, an unknown note, a note that
    // is not cancelled, another table or without a session.
    bool ProcesaBaja(const std::string& table, const std::string& folio);
    // Records the cancellation in Bitacora_Documento. False for an empty folio or a document
    // the table does not hold.
    bool RegistraBaja(const std::string& table, const std::string& folio);
    // Marks the order's open lines that live notes have started delivering as 'RM'. False
    // for an unknown or cancelled order.
    bool ActualizaPedido(const std::string& folio);

    void AsignaTabla(const std::string& table) { m_tabla = table; }
    void AsignaDocumento(const std::string& folio) { m_documento = folio; }
    // Automation after a document is stored, recorded in the audit trail. For "Remision",
    // when the company sets "VEN_CERRAR_PEDIDO_SURTIDO" and the note's order is now fully
    // delivered, the order is closed and "Pedido|<folio>" becomes DocumentoGenerado().
    // False when the folio differs from AsignaDocumento, the table is unset or unknown.
    bool Automatiza(const std::string& folio);
    // Text naming the document the automation produced ("TABLE|FOLIO"); "" when none.
    std::string DocumentoGenerado() const { return m_generado; }
    // "Venta": the sale's totals are recomputed from its lines and checked (non-empty
    // customer, not cancelled).
    bool ProcesaDocumento(const std::string& folio);
    // "Factura": the invoice exists, is live, belongs to a live sale and its total matches it.
    bool ValidaDocumento(const std::string& folio);
    // "Factura": records the invoice as confirmed in the audit trail; only after
    // ValidaDocumento accepted it in this session.
    bool ConfirmaDocumento(const std::string& folio);

    std::string UltimoError() const { return m_ultimoError; }

private:
    bool falla(std::string reason);
    bool requiereSesion(const std::string& folio);

    Entorno& m_e;
    bool m_sesion = false;
    std::string m_tabla, m_documento, m_generado, m_validado, m_ultimoError;
};

} // namespace tesmira::host
