#include "host/writers/MetodoPago.h"

#include "db/Connection.h"
#include "db/Savepoint.h"
#include "host/services/Dialogos.h"
#include "host/services/ServiciosSql.h"
#include "host/writers/Escritura.h"

namespace tesmira::host {

using sql::texto;

MetodoPago::MetodoPago(Entorno& entorno) : m_e(entorno) {}

MetodoPago::~MetodoPago() = default;

bool MetodoPago::Muestra(const std::string& customer)
{
    auto& c = m_e.conexion;
    if (customer.empty()) {
        m_ultimoError = "No se indicó el cliente";
        return false;
    }
    if (c.Execute("SELECT 1 FROM Cliente WHERE Cl_Cve_Cliente = " + texto(customer)).Eof()) {
        m_ultimoError = "No existe el cliente: " + customer;
        return false;
    }
    Lista metodos{"Método de pago", {"CLAVE", "DESCRIPCION"}, {}};
    for (auto rs = c.Execute("SELECT Mp_Cve_Metodo_Pago, Mp_Descripcion FROM Metodo_Pago ORDER BY Mp_Cve_Metodo_Pago");
         !rs.Eof(); rs.MoveNext())
        metodos.filas.push_back({rs.Fields(0).toString(), rs.Fields(1).toString()});
    PagoElegido actual;
    std::string banco;
    auto previo = c.Execute("SELECT Mp_Cve_Metodo_Pago, Mp_Banco, Mp_Cuenta_Bancaria FROM Metodo_Pago_Cliente "
                            "WHERE Cl_Cve_Cliente = " + texto(customer));
    if (!previo.Eof()) {
        actual = {previo.Fields("Mp_Cve_Metodo_Pago").toString(), previo.Fields("Mp_Cuenta_Bancaria").toString()};
        banco = previo.Fields("Mp_Banco").toString();
    }
    const auto elegido = m_e.dialogos.eligePago(metodos, actual);
    if (!elegido)
        return true;
    if (c.Execute("SELECT 1 FROM Metodo_Pago WHERE Mp_Cve_Metodo_Pago = " + texto(elegido->metodo)).Eof()) {
        m_ultimoError = "No existe el método de pago: " + elegido->metodo;
        return false;
    }
    // The button works outside any save; inside one it joins the caller's transaction.
    db::Savepoint guarda(c);
    c.Execute("DELETE FROM Metodo_Pago_Cliente WHERE Cl_Cve_Cliente = " + texto(customer));
    c.Execute("INSERT INTO Metodo_Pago_Cliente (Cl_Cve_Cliente, Mp_Cve_Metodo_Pago, Mp_Banco, Mp_Cuenta_Bancaria, "
              "Oper_Ult_Modif, Fecha_Ult_Modif) VALUES (" + texto(customer) + ", " + texto(elegido->metodo) + ", " +
              texto(banco) + ", " + texto(elegido->cuenta) + ", " + texto(m_e.usuario) + ", " +
              texto(escritura::sello(m_e)) + ")");
    guarda.commit();
    return true;
}

} // namespace tesmira::host
