// The document writers on the demo company: a note taken out and put back, folio counters,
// refusals that write nothing, invoicing from a note and the document control rules.
#include "DemoHost.h"

#include "db/Recordset.h"
#include "host/writers/ControlDocumento.h"
#include "host/writers/DocumentoRemision.h"
#include "host/writers/DocumentoVenta.h"
#include "host/output/EnvioComprobante.h"
#include "host/output/EnvioDocumento.h"
#include "host/writers/Facturacion.h"
#include "host/output/Firma.h"
#include "host/writers/MetodoPago.h"

#include <fstream>
#include <sstream>

namespace tesmira::host::prueba {
namespace {

struct Linea {
    std::string producto = {}, talla = "00", color = "00";
    double cantidad = 0;
    std::string unidad = {};
    double cantidad2 = 0;
    std::string unidad2 = {};
    double precio = 0;
    std::string lote = {}, series = {}, ubicacion = {}, pedidoId = {}, sucursal = {}, almacen = {},
                descripcion = {};
};

class Escritores : public DemoHost {
protected:
    // Stock, lots, serial numbers and what every order line still has pending.
    std::string inventario()
    {
        std::string out;
        for (const char* tabla : {"Existencia", "Existencia_Ubicacion", "Existencia_Lote", "Existencia_Serie",
                                  "Existencia_Ubicacion_Serie", "Movimiento_Inventario"})
            out += db::formatTsv(conexion->Execute(std::string("SELECT * FROM ") + tabla +
                                                   " ORDER BY 1, 2, 3, 4, 5, 6, 7"));
        for (const char* sql : {
                 "SELECT Pd_Folio, Pd_ID, Es_Cve_Estado, Pd_Cantidad_1 - isnull((SELECT SUM(Rm_Cantidad_1) FROM "
                 "Remision WHERE Rm_Tabla = 'PEDIDO' AND Rm_Documento = Pd_Folio AND Rm_Documento_ID = Pd_ID AND "
                 "Es_Cve_Estado <> 'CA'), 0) AS Pendiente FROM Pedido ORDER BY Pd_Folio, Pd_ID",
                 "SELECT Pd_Folio, Es_Cve_Estado, Pd_Estado_Proceso FROM Pedido_Encabezado ORDER BY Pd_Folio",
                 "SELECT Sa_Folio, Es_Cve_Estado FROM PDA_Salida ORDER BY Sa_Folio",
             })
            out += db::formatTsv(conexion->Execute(sql)) + "\n";
        return out;
    }

    EncabezadoRemision encabezado(const std::string& pedido, const std::string& sucursal = "01",
                                  const std::string& almacen = "01")
    {
        EncabezadoRemision h;
        h.Rm_Fecha = Date{2026, 12, 5};
        h.Rm_Tabla = "PEDIDO";
        h.Rm_Documento = pedido;
        h.Mn_Cve_Moneda = "MXN";
        h.Rm_Condicion_Venta = dato("SELECT Pd_Condicion_Venta FROM Pedido_Encabezado WHERE Pd_Folio = '" + pedido + "'");
        h.Rm_Tipo_Cambio = 1;
        h.Sc_Cve_Sucursal = sucursal;
        h.Al_Cve_Almacen = almacen;
        h.Cl_Cve_Cliente = dato("SELECT Cl_Cve_Cliente FROM Pedido_Encabezado WHERE Pd_Folio = '" + pedido + "'");
        h.Vn_Cve_Vendedor = "V01";
        return h;
    }

    // Stores the lines as the save does; answers the first refusal, or "" with the folio in `folio`.
    std::string escribe(DocumentoRemision& doc, const EncabezadoRemision& h, const std::vector<Linea>& lineas,
                        std::string& folio)
    {
        doc.Nuevo();
        doc.AsignaEncabezado(h);
        folio = doc.Encabezado().Rm_Folio;
        if (auto error = agrega(doc, lineas); !error.empty())
            return error;
        if (!doc.Finaliza(folio))
            return doc.UltimoError();
        return "";
    }

    // The lines alone, on a header already assigned.
    std::string agrega(DocumentoRemision& doc, const std::vector<Linea>& lineas)
    {
        const auto& h = doc.Encabezado();
        DatosPartida datos(*entorno);
        for (const auto& l : lineas) {
            PartidaRemision p;
            p.Sucursal_Inventario = l.sucursal.empty() ? h.Sc_Cve_Sucursal : l.sucursal;
            p.Almacen_Inventario = l.almacen.empty() ? h.Al_Cve_Almacen : l.almacen;
            p.Pr_Cve_Producto = l.producto;
            p.Pr_Descripcion = l.descripcion.empty()
                ? dato("SELECT Pr_Descripcion FROM Producto WHERE Pr_Cve_Producto = '" + l.producto + "'")
                : l.descripcion;
            p.Tl_Cve_Talla = l.talla;
            p.Cl_Cve_Color = l.color;
            p.Cantidad_1 = l.cantidad;
            p.Unidad_1 = l.unidad;
            p.Cantidad_Control_2 = l.cantidad2;
            p.Unidad_Control_2 = l.unidad2;
            p.Precio_Lista = l.precio;
            p.Lt_Cve_Lote = l.lote;
            p.Sr_Cve_Serie = l.series;
            datos.Ubicacion = l.ubicacion;
            datos.DocumentoId = l.pedidoId;
            doc.AsignaDatosPartida(datos);
            doc.AsignaPartida(p);
            if (!doc.AgregaPartida())
                return doc.UltimoError();
        }
        return "";
    }

    // The three removal calls of the cancel command.
    std::string cancela(const std::string& folio)
    {
        DocumentoRemision doc(*entorno);
        if (!doc.Elimina(folio))
            return doc.UltimoError();
        ControlDocumento control(*entorno);
        control.Inicia();
        if (!control.ProcesaBaja("Remision", folio))
            return control.UltimoError();
        control.Termina();
        ControlDocumento registro(*entorno);
        if (!registro.RegistraBaja("Remision", folio))
            return registro.UltimoError();
        return "";
    }
};

// Guards against a cancellation that forgets part of what the note took (a lot, a serial,
// a location) or leaves the order counting the note as delivered.
TEST_F(Escritores, NotaEscritaYEliminadaDejaTodoComoEstaba)
{
    const std::vector<Linea> nota{
        {.producto = "CAM001", .talla = "MD", .color = "AZ", .cantidad = 10, .unidad = "PZA", .cantidad2 = 10,
         .unidad2 = "PZA", .precio = 250, .pedidoId = "0001"},
        {.producto = "ACE001", .cantidad = 2, .unidad = "CJA", .cantidad2 = 24, .unidad2 = "LT", .precio = 960,
         .pedidoId = "0002"},
        {.producto = "PIN001", .cantidad = 4, .unidad = "CUB", .cantidad2 = 76, .unidad2 = "LT", .precio = 1450,
         .pedidoId = "0003"},
        {.producto = "TAL001", .cantidad = 2, .unidad = "PZA", .cantidad2 = 2, .unidad2 = "PZA", .precio = 2899,
         .series = "TAL-0001|TAL-0002", .pedidoId = "0004"},
        {.producto = "SRV001", .cantidad = 1, .unidad = "SRV", .cantidad2 = 1, .unidad2 = "SRV", .precio = 350,
         .pedidoId = "0008"},
    };
    const std::string antes = inventario();
    std::string folio;
    conexion->BeginTrans();
    DocumentoRemision doc(*entorno);
    ASSERT_EQ(escribe(doc, encabezado("P0001"), nota, folio), "");
    conexion->CommitTrans();

    // Lots by earliest expiry: all of L-2601 (3), then 1 of L-2602.
    EXPECT_EQ(db::formatTsv(conexion->Execute("SELECT Lt_Cve_Lote, Ld_Cantidad_Control_1 FROM Lote_Documento WHERE "
                                              "Ld_Documento = 'R0006' ORDER BY Lt_Cve_Lote")),
              "Lt_Cve_Lote\tLd_Cantidad_Control_1\nL-2601\t3\nL-2602\t1\n");
    EXPECT_EQ(dato("SELECT Rm_Concepto FROM Remision WHERE Rm_Folio = 'R0006' AND Rm_ID = '0005'"),
              "Flete a bodega Caucel") << "the linked order line's concept";

    conexion->BeginTrans();
    ASSERT_EQ(cancela(folio), "");
    conexion->CommitTrans();

    EXPECT_EQ(inventario(), antes) << "the cancellation did not give everything back";
    EXPECT_EQ(dato("SELECT COUNT(*) FROM Remision WHERE Rm_Folio = 'R0006' AND Es_Cve_Estado = 'CA'"), "5");
    EXPECT_EQ(dato("SELECT Bd_Accion FROM Bitacora_Documento WHERE Bd_Documento = 'R0006'"), "BAJA");
}

// A folio already taken is skipped, and the counter moves past it.
TEST_F(Escritores, FolioSiguienteSaltaLosOcupados)
{
    conexion->Execute("INSERT INTO Remision_Encabezado (Rm_Folio) VALUES ('R0007')");
    conexion->BeginTrans();
    DocumentoRemision doc(*entorno);
    std::string primero, segundo;
    const std::vector<Linea> linea{{.producto = "CAM001", .talla = "CH", .color = "BL", .cantidad = 1,
                                    .unidad = "PZA", .cantidad2 = 1, .unidad2 = "PZA", .pedidoId = "0001"}};
    ASSERT_EQ(escribe(doc, encabezado("P0003"), linea, primero), "");
    ASSERT_EQ(escribe(doc, encabezado("P0003"), linea, segundo), "");
    conexion->CommitTrans();
    EXPECT_EQ(primero, "R0006");
    EXPECT_EQ(segundo, "R0008") << "R0007 was already taken";
    EXPECT_EQ(dato("SELECT Fd_Siguiente FROM Folio_Documento WHERE Fd_Tabla = 'Remision'"), "9");
}

// A refused line writes nothing of itself, whatever check refuses it.
TEST_F(Escritores, PartidaRechazadaNoEscribeNada)
{
    struct Caso {
        const char* nombre;
        Linea linea;
        const char* pedido;
        const char* almacen;
        const char* error;
    };
    const Caso casos[] = {
        {"producto inexistente", {.producto = "XYZ999", .cantidad = 1, .unidad = "PZA"}, "P0001", "01",
         "No existe el producto: XYZ999"},
        {"cantidad cero", {.producto = "CAM001", .talla = "MD", .color = "AZ", .cantidad = 0, .unidad = "PZA"},
         "P0001", "01", "La cantidad de la partida debe ser mayor que cero"},
        {"sin conversión", {.producto = "GAL001", .cantidad = 2, .unidad = "GAR", .cantidad2 = 40, .unidad2 = "LT"},
         "P0012", "01", "No existe conversión de GAR a LT para el producto GAL001"},
        {"lote corto", {.producto = "PIN001", .cantidad = 4, .unidad = "CUB", .cantidad2 = 76, .unidad2 = "LT",
                        .lote = "L-2601"},
         "P0001", "01", "El lote L-2601 no tiene existencia suficiente del producto PIN001"},
        {"lotes insuficientes", {.producto = "PIN001", .cantidad = 9, .unidad = "CUB", .cantidad2 = 171,
                                 .unidad2 = "LT"},
         "P0001", "01", "No hay lotes suficientes del producto PIN001 en el almacén 01/01"},
        {"serie vendida", {.producto = "TAL001", .cantidad = 1, .unidad = "PZA", .cantidad2 = 1, .unidad2 = "PZA",
                           .series = "TAL-0003|TAL-0005"},
         "P0001", "01", "La serie TAL-0005 no está disponible en el almacén 01/01"},
        {"serie apartada", {.producto = "TAL001", .cantidad = 1, .unidad = "PZA", .cantidad2 = 1, .unidad2 = "PZA",
                            .series = "TAL-0001"},
         "P0003", "01", "La serie TAL-0001 está apartada para el pedido P0001"},
        {"ubicación corta", {.producto = "CAM001", .talla = "GD", .color = "NE", .cantidad = 7, .unidad = "PZA",
                             .cantidad2 = 7, .unidad2 = "PZA", .ubicacion = "0101"},
         "P0008", "02", "La ubicación 0101 no tiene existencia suficiente del producto CAM001"},
        {"sin registro de existencia", {.producto = "KIT001", .cantidad = 1, .unidad = "PZA", .cantidad2 = 1,
                                        .unidad2 = "PZA"},
         "P0008", "02", "El producto KIT001 (00/00) no tiene registro de existencia en el almacén 01/02"},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        conexion->BeginTrans();
        DocumentoRemision doc(*entorno);
        doc.Nuevo();
        doc.AsignaEncabezado(encabezado(caso.pedido, "01", caso.almacen));
        const std::string antes = db::dump(*conexion);
        EXPECT_EQ(agrega(doc, {caso.linea}), caso.error);
        EXPECT_EQ(db::dump(*conexion), antes) << "the refused line left a trace";
        conexion->RollbackTrans();
    }
}

// The order returns to the state it had before the note: a close by the note is undone, and
// an order still delivered by another live note stays 'RM'.
TEST_F(Escritores, BajaDevuelveElPedidoASuEstadoAnterior)
{
    struct Caso {
        const char* nombre;
        const char* pedido;
        Linea linea;
        bool cerrar;
        const char* estado;
    };
    const Caso casos[] = {
        {"cerrado por la nota", "P0001",
         {.producto = "CAM001", .talla = "MD", .color = "AZ", .cantidad = 1, .unidad = "PZA", .pedidoId = "0001"},
         true, "AC"},
        {"otra nota viva", "P0003",
         {.producto = "CAM001", .talla = "CH", .color = "BL", .cantidad = 1, .unidad = "PZA", .pedidoId = "0001"},
         false, "RM"},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        const std::string pedido = caso.pedido;
        conexion->BeginTrans();
        DocumentoRemision doc(*entorno);
        std::string folio;
        ASSERT_EQ(escribe(doc, encabezado(caso.pedido), {caso.linea}, folio), "");
        if (caso.cerrar) {
            conexion->Execute("UPDATE Pedido SET Es_Cve_Estado = 'CE' WHERE Pd_Folio = '" + pedido + "'");
            conexion->Execute("UPDATE Pedido_Encabezado SET Pd_Estado_Proceso = Es_Cve_Estado, Es_Cve_Estado = 'CE' "
                              "WHERE Pd_Folio = '" + pedido + "'");
        } else {
            ControlDocumento control(*entorno);
            ASSERT_TRUE(control.ActualizaPedido(pedido)) << control.UltimoError();
        }
        conexion->CommitTrans();
        conexion->BeginTrans();
        ASSERT_EQ(cancela(folio), "");
        conexion->CommitTrans();
        EXPECT_EQ(dato("SELECT Es_Cve_Estado FROM Pedido_Encabezado WHERE Pd_Folio = '" + pedido + "'"), caso.estado);
        EXPECT_EQ(dato("SELECT Pd_Estado_Proceso FROM Pedido_Encabezado WHERE Pd_Folio = '" + pedido + "'"), "");
        if (caso.cerrar) {
            EXPECT_EQ(dato("SELECT Es_Cve_Estado FROM Pedido WHERE Pd_Folio = 'P0001' AND Pd_ID = '0001'"), "AC");
        }
    }
}

// Closing on full delivery only happens when the company asks for it.
TEST_F(Escritores, AutomatizacionCierraElPedidoSurtidoSoloConParametro)
{
    for (const bool conParametro : {false, true}) {
        SCOPED_TRACE(conParametro ? "con parámetro" : "sin parámetro");
        if (conParametro)
            parametro("VEN_CERRAR_PEDIDO_SURTIDO", "SI");
        conexion->BeginTrans();
        DocumentoRemision doc(*entorno);
        std::string folio;
        ASSERT_EQ(escribe(doc, encabezado("P0003"),
                          {{.producto = "CAM001", .talla = "CH", .color = "BL", .cantidad = 12, .unidad = "PZA",
                            .pedidoId = "0001"},
                           {.producto = "TAL001", .cantidad = 1, .unidad = "PZA", .series = "TAL-0003",
                            .pedidoId = "0003"}},
                          folio),
                  "");
        ControlDocumento control(*entorno);
        ASSERT_TRUE(control.Inicia());
        control.AsignaTabla("Remision");
        control.AsignaDocumento(folio);
        ASSERT_TRUE(control.Automatiza(folio)) << control.UltimoError();
        EXPECT_EQ(control.DocumentoGenerado(), conParametro ? "Pedido|P0003" : "");
        EXPECT_EQ(dato("SELECT Es_Cve_Estado FROM Pedido_Encabezado WHERE Pd_Folio = 'P0003'"),
                  conParametro ? "CE" : "RM");
        conexion->RollbackTrans();
    }
}

class Facturando : public Escritores {
protected:
    // A note of P0003 (cash) or P0001 (credit) turned into a sale, as the invoicing does.
    // With a series, the invoice folio is reserved before the lines are stored.
    std::string venta(const std::string& pedido, const std::vector<Linea>& lineas, Facturacion* f = nullptr,
                      const char* serie = "")
    {
        DocumentoRemision doc(*entorno);
        std::string nota;
        EXPECT_EQ(escribe(doc, encabezado(pedido), lineas, nota), "");
        DocumentoVenta dv(*entorno);
        dv.Nuevo();
        EXPECT_TRUE(dv.Inicia());
        EncabezadoVenta h;
        h.Vn_Fecha = Date{2026, 12, 5};
        h.Vn_Tabla = "Remision";
        h.Vn_Documento = nota;
        h.Mn_Cve_Moneda = "MXN";
        h.Vn_Tipo_Cambio = 1;
        h.Sc_Cve_Sucursal = "01";
        h.Al_Cve_Almacen = "01";
        h.Cl_Cve_Cliente = encabezado(pedido).Cl_Cve_Cliente;
        dv.AsignaEncabezado(h);
        if (*serie) {
            EXPECT_TRUE(f->ReservaFactura(dv.Encabezado().Vn_Folio, serie)) << f->UltimoError();
            dv.AsignaFactura(f->FolioReservado());
        }
        DatosPartidaVenta datos(*entorno);
        for (const auto& l : lineas) {
            PartidaVenta p;
            p.Pr_Cve_Producto = l.producto;
            p.Tl_Cve_Talla = l.talla;
            p.Cl_Cve_Color = l.color;
            p.Cantidad_1 = l.cantidad;
            p.Unidad_1 = l.unidad;
            p.Precio_Lista = l.precio;
            p.Sr_Cve_Serie = l.series;
            dv.AsignaDatosPartida(datos);
            dv.AsignaPartida(p);
            EXPECT_TRUE(dv.AgregaPartida()) << dv.UltimoError();
        }
        return dv.Encabezado().Vn_Folio;
    }
    const std::vector<Linea> camisas{{.producto = "CAM001", .talla = "CH", .color = "BL", .cantidad = 2,
                                      .unidad = "PZA", .cantidad2 = 2, .unidad2 = "PZA", .precio = 250,
                                      .pedidoId = "0001"}};
};

// The sale carries its order and condition; the invoice takes its folio from the series, cash
// sales get a payment receipt and credit ones promissory notes, and a sale is invoiced once.
TEST_F(Facturando, FolioDeFacturaDeLaSerie)
{
    struct Caso {
        const char* nombre;
        const char* pedido;
        const char* condicion;
        const char* serie;
        const char* folio;
        const char* recibos;
        const char* pagares;
        const char* siguiente;
        std::vector<Linea> lineas;
        bool reserva = false;
    };
    const Caso casos[] = {
        {"contado serie A", "P0003", "01", "A", "A0002", "A0002-R1", "", "3", camisas},
        {"crédito serie B", "P0001", "02", "B", "B0001", "", "B0001-P1", "2",
         {{.producto = "CAM001", .talla = "MD", .color = "AZ", .cantidad = 1, .unidad = "PZA", .precio = 250,
           .pedidoId = "0001"}}, true},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        conexion->BeginTrans();
        Facturacion f(*entorno);
        entorno->fechaServidor = Date{2026, 12, 5, 9, 0, 0};
        const std::string v = venta(caso.pedido, caso.lineas, &f, caso.reserva ? caso.serie : "");
        entorno->fechaServidor = Date{2026, 12, 5, 9, 0, 1}; // the invoice's stamp is the later one
        EXPECT_EQ(dato("SELECT Vn_Pedido + '/' + Vn_Condicion_Venta FROM Venta_Encabezado WHERE Vn_Folio = '" + v +
                       "'"),
                  std::string(caso.pedido) + "/" + caso.condicion);
        ASSERT_TRUE(f.ValidaCondicion(encabezado(caso.pedido).Rm_Condicion_Venta, 100, "")) << f.UltimoError();
        ASSERT_TRUE(f.GeneraFactura(v, true, "X9999", caso.serie, 9999, "")) << f.UltimoError();
        EXPECT_EQ(std::tuple(f.FolioFactura(), f.ReciboPago(), f.Pagares()),
                  std::tie(caso.folio, caso.recibos, caso.pagares));
        EXPECT_EQ(dato(std::string("SELECT Sf_Siguiente FROM Serie_Factura WHERE Sf_Cve_Serie = '") + caso.serie + "'"),
                  caso.siguiente);
        EXPECT_EQ(dato("SELECT COUNT(*) FROM Venta WHERE Vn_Folio = '" + v + "' AND (Vn_Factura <> '" + caso.folio +
                       "' OR Fecha_Ult_Modif <> '2026-12-05 09:00:01')"),
                  "0");

        ControlDocumento ventaControl(*entorno);
        ASSERT_TRUE(ventaControl.Inicia());
        ventaControl.AsignaTabla("Venta");
        ventaControl.AsignaDocumento(v);
        EXPECT_TRUE(ventaControl.ProcesaDocumento(v)) << ventaControl.UltimoError();
        ventaControl.Termina();
        ControlDocumento facturaControl(*entorno);
        facturaControl.AsignaDocumento(caso.folio);
        facturaControl.AsignaTabla("Factura");
        ASSERT_TRUE(facturaControl.Inicia());
        EXPECT_FALSE(facturaControl.ConfirmaDocumento(caso.folio));
        EXPECT_TRUE(facturaControl.ValidaDocumento(caso.folio)) << facturaControl.UltimoError();
        EXPECT_TRUE(facturaControl.ConfirmaDocumento(caso.folio)) << facturaControl.UltimoError();
        EXPECT_FALSE(f.GeneraFactura(v, true, "", caso.serie, 0, ""));
        EXPECT_EQ(f.UltimoError(), "La venta " + v + " ya está facturada en " + caso.folio);
        conexion->RollbackTrans();
    }
}

// A series of another branch, unknown or missing, or an unknown condition refuses and spends no folio.
TEST_F(Facturando, SerieOCondicionInvalidas)
{
    conexion->BeginTrans();
    const std::string v = venta("P0003", camisas);
    Facturacion f(*entorno);
    auto motivo = [&](bool hecho) { return hecho ? std::string("sin rechazo") : f.UltimoError(); };
    EXPECT_EQ(motivo(f.GeneraFactura(v, true, "", "C", 0, "")),
              "La serie de facturación C no pertenece a la sucursal 01");
    EXPECT_EQ(motivo(f.GeneraFactura(v, true, "", "Z", 0, "")), "No existe la serie de facturación: Z");
    EXPECT_EQ(motivo(f.GeneraFactura(v, true, "", "", 0, "")), "No se indicó la serie de facturación");
    EXPECT_EQ(motivo(f.GeneraFactura("V9999", true, "", "A", 0, "")), "No existe la venta: V9999");
    EXPECT_EQ(motivo(f.ValidaCondicion("77", 10, "")), "No existe la condición de venta: 77");
    EXPECT_FALSE(f.ValidaCondicion("01", -1, ""));
    EXPECT_EQ(dato("SELECT Sf_Siguiente FROM Serie_Factura WHERE Sf_Cve_Serie = 'A'"), "2");
    conexion->RollbackTrans();
}

// Only a signed invoice is mailed, to the customer's address with its XML attached.
TEST_F(Facturando, ComprobanteSeEnviaConElXmlAdjunto)
{
    conexion->BeginTrans();
    const std::string v = venta("P0003", camisas);
    Facturacion f(*entorno);
    ASSERT_TRUE(f.GeneraFactura(v, true, "", "A", 2, ""));
    conexion->CommitTrans();

    EnvioComprobante sinFirma(*entorno);
    EXPECT_FALSE(sinFirma.Envia("Factura", "A0002"));
    EXPECT_EQ(sinFirma.UltimoError(), "No existe el comprobante digital Factura A0002");

    Firma firma(*entorno);
    ASSERT_EQ(firma.FirmaFactura("A0002"), "");
    EnvioComprobante envio(*entorno);
    ASSERT_TRUE(envio.Envia("Factura", "A0002")) << envio.UltimoError();
    std::ifstream in(envio.UltimoArchivo(), std::ios::binary);
    std::stringstream mensaje;
    mensaje << in.rdbuf();
    EXPECT_NE(mensaje.str().find("To: obras@cpsureste.mx\r\n"), std::string::npos);
    EXPECT_NE(mensaje.str().find("filename=\"A0002.xml\""), std::string::npos);
    EXPECT_EQ(dato("SELECT Cd_Enviado FROM Comprobante_Digital WHERE Cd_Documento = 'A0002'"), "SI");

    EnvioDocumento documento(*entorno);
    ASSERT_TRUE(documento.EnviaDocumento("Factura", "A0002", 0));
    EXPECT_EQ(dato("SELECT Co_Para FROM Correo_Salida WHERE Co_Documento = 'A0002'"), "obras@cpsureste.mx");
    EXPECT_FALSE(documento.EnviaDocumento("Factura", "A9999", 0));
    EXPECT_FALSE(documento.EnviaDocumento("Cotizacion", "A0002", 0));
}

// The choice is stored; a cancelled dialog is no failure; unknown method or customer writes nothing.
TEST_F(Escritores, MetodoPagoGuardaLaEleccion)
{
    MetodoPago metodo(*entorno);
    dialogos.respuestaPago({"04", "4152313400001234"});
    ASSERT_TRUE(metodo.Muestra("C0001")) << metodo.UltimoError();
    EXPECT_EQ(dato("SELECT Mp_Cve_Metodo_Pago + '/' + Mp_Banco + '/' + Mp_Cuenta_Bancaria FROM Metodo_Pago_Cliente "
                   "WHERE Cl_Cve_Cliente = 'C0001'"),
              "04/BBVA México/4152313400001234");

    const std::string antes = db::dump(*conexion);
    EXPECT_TRUE(metodo.Muestra("C0002")) << "a cancelled dialog is no failure";
    dialogos.respuestaPago({"77", ""});
    auto motivo = [&](const char* cliente) { return metodo.Muestra(cliente) ? "sin rechazo" : metodo.UltimoError(); };
    EXPECT_EQ(motivo("C0002"), "No existe el método de pago: 77");
    EXPECT_EQ(motivo("C9999"), "No existe el cliente: C9999");
    EXPECT_EQ(db::dump(*conexion), antes) << "a refused choice wrote something";
}

} // namespace
} // namespace tesmira::host::prueba
