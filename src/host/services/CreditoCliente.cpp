#include "host/services/CreditoCliente.h"

#include "db/Connection.h"
#include "host/services/ServiciosSql.h"

namespace tesmira::host {

// In local currency: the credit limit, less the open balance of the customer's invoices
// (Cl_Saldo, kept by receivables), less the delivery notes still active and not invoiced
// (goods delivered on credit that no invoice carries yet), each at its own exchange rate.
// Cancelled notes and invoiced notes do not count twice. An unknown customer has no credit.
double CreditoCliente::CreditoDisponible(const std::string& customer, bool) const
{
    db::Recordset rs = m_e.conexion.Execute("SELECT Cl_Limite_Credito, Cl_Saldo FROM Cliente WHERE Cl_Cve_Cliente = "
                                            + sql::texto(customer));
    if (rs.Eof()) {
        m_ultimoError = "El cliente " + customer + " no existe";
        return 0;
    }
    const double limite = rs.Fields("Cl_Limite_Credito").toDouble();
    const double saldo = rs.Fields("Cl_Saldo").toDouble();
    const double remisiones =
        sql::valor(m_e.conexion, "SELECT SUM(r.Rm_Precio_Neto_Importe * h.Rm_Tipo_Cambio) FROM Remision r "
                                 "INNER JOIN Remision_Encabezado h ON h.Rm_Folio = r.Rm_Folio "
                                 "WHERE h.Cl_Cve_Cliente = " + sql::texto(customer)
                                     + " AND h.Es_Cve_Estado <> 'CA' AND h.Rm_Facturado <> 'SI'")
            .toDouble();
    return limite - saldo - remisiones;
}

} // namespace tesmira::host
