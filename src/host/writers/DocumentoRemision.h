#pragma once
// The delivery-note writer. Works on the caller's open transaction (never begins or commits
// one); a false answer leaves the reason in UltimoError and the caller rolls back.
//
// Road of a note: Nuevo, AsignaEncabezado (draws the folio from Folio_Documento 'Remision'),
// then per line AsignaDatosPartida + AsignaPartida + AgregaPartida (one Remision row, Rm_ID
// "0001".. in call order, Rm_Documento_ID from DatosPartida, stock/lots/serials taken out),
// then Finaliza(folio) writes Remision_Encabezado with the totals. Elimina(folio) cancels a saved note ('CA') and puts
// back its stock, lots and serial numbers.
#include "base/Value.h"
#include "host/writers/DatosPartida.h"
#include "host/writers/Partida.h"
#include "host/services/Entorno.h"
#include "host/services/Importes.h"

#include <optional>
#include <string>
#include <vector>

namespace tesmira::host {

// Header record handed to AsignaEncabezado; Encabezado() answers it with Rm_Folio filled.
struct EncabezadoRemision {
    std::string Rm_Folio; // "" on input: the writer assigns it
    Date Rm_Fecha;
    std::string Rm_Tabla; // "PEDIDO"
    std::string Rm_Documento;
    std::string Rm_Referencia;
    std::string Rm_Comentario;
    std::string Mn_Cve_Moneda;
    std::string Rm_Condicion_Venta;
    double Rm_Tipo_Cambio = 0;
    double Rm_Descuento_Global_Factor = 0;
    std::string Rm_Sin_Cargo = "NO";
    std::string Sc_Cve_Sucursal;
    std::string Al_Cve_Almacen;
    std::string Cl_Cve_Cliente;
    std::string Vn_Cve_Vendedor;
};

class DocumentoRemision {
public:
    explicit DocumentoRemision(Entorno& entorno);
    ~DocumentoRemision();
    DocumentoRemision(const DocumentoRemision&) = delete;
    DocumentoRemision& operator=(const DocumentoRemision&) = delete;

    // Starts a new note: forgets header, lines and folio of the previous one.
    void Nuevo();
    // Keeps a copy of the header and assigns the folio (the next of the 'Remision' counter)
    // when Rm_Folio is empty. Throws Error when the counter is missing.
    void AsignaEncabezado(const EncabezadoRemision& encabezado);
    void AsignaDatosPartida(const DatosPartida& datos);
    void AsignaPartida(const PartidaRemision& partida);
    // Stores the line last assigned with the next Rm_ID. False (nothing of the line written)
    // when no header was assigned, the quantity is not positive, the product is unknown, or
    // the lot, serial or location stock cannot cover it.
    bool AgregaPartida();
    // The header as assigned, with its folio; Rm_Folio "" before AsignaEncabezado.
    const EncabezadoRemision& Encabezado() const { return m_encabezado; }
    // Writes Remision_Encabezado with the totals of the stored lines. False when folio is not
    // the note being written or it has no lines.
    bool Finaliza(const std::string& folio);
    // Cancels the note: header and lines 'CA' (they no longer count as delivered), stock,
    // lots and serial numbers back where the note took them from. False for an empty or
    // unknown folio, an already cancelled note, or an invoiced one.
    bool Elimina(const std::string& folio);
    std::string UltimoError() const { return m_ultimoError; }

private:
    bool falla(std::string reason);
    bool pedidoConConceptos();

    Entorno& m_e;
    EncabezadoRemision m_encabezado;
    PartidaRemision m_partida;
    DatosPartida m_datos;
    int m_lineas = 0;
    std::string m_fecha; // the header's date as every line stores it
    // The lines stored so far, summed as they go (Finaliza does not read them back).
    TotalesDocumento m_totales{0};
    std::string m_ultimoError;
    // Whether the order has a line with a concept; read at the first linked line (the order's
    // lines do not change while its note is written).
    std::optional<bool> m_conConceptos;
};

} // namespace tesmira::host
