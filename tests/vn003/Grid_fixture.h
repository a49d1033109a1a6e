#pragma once
// Grid tests arrange the header and the rows by writing them directly, so they exercise the
// grid's routines without going through the header and loading handlers.
#include "Pantalla_fixture.h"

#include <initializer_list>
#include <utility>

namespace tesmira::vn003::testing {

using Celdas = std::initializer_list<std::pair<const char*, Value>>;

class GridTest : public PantallaTest {
protected:
    // Opens the screen in the new-note state.
    frmVN003& abreNuevo()
    {
        frmVN003& f = abre();
        f.Controles.InicioNuevo(false);
        return f;
    }

    // The header fields the grid routines read, written with their change handlers off.
    void encabezado(const std::string& pedido, const std::string& sucursal, const std::string& almacen,
                    const std::string& cliente = "C0002")
    {
        frmVN003& f = frm();
        for (forms::TextField* t : {&f.txt_Pd_Folio, &f.txt_Sc_Cve_Sucursal, &f.txt_Al_Cve_Almacen, &f.txtCliente,
                                    &f.txt_Mn_Cve_Moneda, &f.txtCondicionVenta, &f.txtSalida})
            t->onChange = nullptr;
        f.dpFecha.onChange = nullptr;
        f.txt_Pd_Folio.setText(pedido);
        f.txt_Sc_Cve_Sucursal.setText(sucursal);
        f.txt_Al_Cve_Almacen.setText(almacen);
        f.txtCliente.setText(cliente);
        f.txt_Mn_Cve_Moneda.setText("MXN");
        f.txtCondicionVenta.setText("01");
        f.dpFecha.setValue(Date{2026, 12, 5});
    }

    // Appends a row holding the given cells and leaves the grid on it.
    void fila(Celdas celdas)
    {
        forms::Grid& g = frm().ssDetalle;
        g.addRow();
        for (const auto& [columna, valor] : celdas)
            g.col(columna).setValue(valor);
    }

    // Makes a column current by code (no event), as the user's last click left it.
    void en(const char* columna) { frm().ssDetalle.setCurrentColumn(frm().ssDetalle.columnIndex(columna)); }

    std::string celda(const char* columna) { return frm().ssDetalle.col(columna).value().toString(); }
    double numero(const char* columna) { return frm().ssDetalle.col(columna).value().toDouble(); }
};

} // namespace tesmira::vn003::testing
