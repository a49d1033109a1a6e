#include "Pantalla_fixture.h"

namespace tesmira::vn003::testing {
namespace {


size_t archivosEn(const std::filesystem::path& carpeta)
{
    if (!std::filesystem::exists(carpeta))
        return 0;
    return static_cast<size_t>(
        std::distance(std::filesystem::directory_iterator(carpeta), std::filesystem::directory_iterator()));
}

struct CasoSignatureFailureKeepsTheInvoiceAndSkipsItsPrint {
    const char* nombre;
    const char* serie;
    const char* respuesta;
    size_t firmas;
    bool facturaImpresa;
    const char* id;
};
const CasoSignatureFailureKeepsTheInvoiceAndSkipsItsPrint casosSignatureFailureKeepsTheInvoiceAndSkipsItsPrint[] = {
    {"firma fallida", "A", "Certificado vencido", 1, false, "ERR-ID:7500023"},
    {"firma correcta", "A", "", 1, true, ""},
    {"serie sin firma", "B", "Certificado vencido", 0, true, ""},
};

class SignatureFailureKeepsTheInvoiceAndSkipsItsPrint : public GuardadoTest,
    public ::testing::WithParamInterface<CasoSignatureFailureKeepsTheInvoiceAndSkipsItsPrint> {};

// The signature decides whether the invoice is printed; the save stands either way.
TEST_P(SignatureFailureKeepsTheInvoiceAndSkipsItsPrint, Caso)
{
    const CasoSignatureFailureKeepsTheInvoiceAndSkipsItsPrint& c = GetParam();
    abre();
    // The host's signer answers what the case says and counts the requests.
    std::vector<std::string> pedidos;
    padre().firma = [&](const std::string& texto) {
        pedidos.push_back(texto);
        return std::string(c.respuesta);
    };
    nuevaConPedido("P0004");
    conFactura(c.serie);
    acepta();

    const std::string factura = sql("SELECT Rm_Factura FROM Remision_Encabezado WHERE Rm_Folio = 'R0006'");
    ASSERT_FALSE(factura.empty()) << transcript();
    EXPECT_EQ(sql("SELECT Es_Cve_Estado FROM Factura WHERE Fc_Factura = '" + factura + "'"), "AC");
    // The sale's lines leave no stock pending (the note moved it); the sale takes the note's address.
    const std::string venta = sql("SELECT Vn_Folio FROM Venta_Encabezado WHERE Vn_Documento = 'R0006'");
    EXPECT_EQ(sql("SELECT COUNT(*) FROM Venta WHERE Vn_Inventario_Pendiente = 'NO' AND Vn_Folio = '" + venta + "'"), "2");
    EXPECT_EQ(sql("SELECT De_ID FROM Domicilio_Documento WHERE Dd_Tabla = 'Venta' AND Dd_Documento = '" + venta + "'"),
              sql("SELECT De_ID FROM Domicilio_Documento WHERE Dd_Tabla = 'Remision' AND Dd_Documento = 'R0006'"));
    ASSERT_EQ(pedidos.size(), c.firmas);
    if (c.firmas) {
        EXPECT_EQ(pedidos[0], conexion().DefaultDatabase() + "|1|" + factura);
    }
    EXPECT_EQ(impreso("FACTURA_" + factura), c.facturaImpresa);
    const std::string recibo = sql("SELECT Fc_Recibo_Pago FROM Factura WHERE Fc_Factura = '" + factura + "'");
    ASSERT_FALSE(recibo.empty());
    EXPECT_TRUE(impreso("RECIBO_PAGO_" + recibo)) << "receipts print even when the signature failed";
    EXPECT_EQ(ultimoMensaje(), c.id) << transcript();
    if (*c.id) {
        EXPECT_EQ(ultimo()->prompt, "Error al firmar el documento digital\r\n" + std::string(c.respuesta));
        EXPECT_EQ(ultimo()->flags, 48);
        EXPECT_EQ(ultimo()->title, "Advertencia!");
    }
}

INSTANTIATE_TEST_SUITE_P(Casos, SignatureFailureKeepsTheInvoiceAndSkipsItsPrint,
                         ::testing::ValuesIn(casosSignatureFailureKeepsTheInvoiceAndSkipsItsPrint), NombreCaso{});

// Whether a note may still be invoiced depends on its own mark, its order and the order's sales.
TEST_F(GuardadoTest, RemisionFacturable)
{
    struct Caso {
        const char* nombre;
        const char* preparacion;
        const char* folio;
        bool facturable;
    };
    const Caso casos[] = {
        {"nota con venta cancelada", "", "R0001", true},
        {"ya facturada", "", "R0003", false},
        {"pedido facturado en proceso",
         "UPDATE Remision_Encabezado SET Rm_Facturado = 'NO' WHERE Rm_Folio = 'R0003';"
         "UPDATE Venta_Encabezado SET Es_Cve_Estado = 'CA' WHERE Vn_Folio = 'V0001'",
         "R0003", false},
        {"venta viva del pedido", "UPDATE Venta_Encabezado SET Es_Cve_Estado = 'AC' WHERE Vn_Folio = 'V0002'", "R0001",
         false},
        {"folio con comillas", "", "R0001' OR '1' = '1", false},
    };
    frmVN003& f = abre();
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        conexion().BeginTrans();
        if (*c.preparacion)
            conexion().Execute(c.preparacion);
        EXPECT_EQ(f.RemisionFacturable(c.folio), c.facturable);
        conexion().RollbackTrans();
    }
}

// The invoice frame follows the check box; a branch the user cannot confirm still reaches the series.
TEST_F(GuardadoTest, ChkFacturarSwitchesTheInvoiceFrame)
{
    frmVN003& f = nuevo();
    EXPECT_FALSE(f.txt_Fc_Factura.isReachable()) << "no series to pick before Factura is ticked";
    f.txt_Sc_Cve_Sucursal.setText("01");
    f.txt_Fc_Factura.setBranch("");
    f.txt_Sc_Cve_Sucursal.setLocked(true);

    f.chkFacturar.setValue(forms::CheckBox::Checked);
    EXPECT_TRUE(f.frFactura.enabled());
    EXPECT_EQ(f.txt_Fc_Factura.branch(), "01");

    f.txt_Fc_Factura.setBranch("XX");
    f.chkFacturar.setValue(forms::CheckBox::Unchecked);
    EXPECT_FALSE(f.frFactura.enabled());
    EXPECT_FALSE(f.txt_Fc_Factura.isReachable());
    EXPECT_EQ(f.txt_Fc_Factura.branch(), "XX") << "unticking leaves the series alone";
}

// A digital invoice is mailed when forced or when the company asks for it; nothing else is.
TEST_F(GuardadoTest, EnviaComprobanteOnlyForDigitalInvoicesWhenAsked)
{
    const struct {
        const char* nombre;
        const char* parametro;
        const char* factura;
        bool forzar;
        size_t enviados;
    } casos[] = {
        {"sin pedirlo", "NO", "A0001", false, 0},
        {"forzado", "NO", "A0001", true, 1},
        {"la empresa lo pide", "SI", "A0001", false, 1},
        {"sin comprobante digital", "SI", "A9999", true, 0},
    };
    const auto outbox = std::filesystem::path(entorno().carpetaSalida) / "outbox";
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        parametro("FAC_ENVIAR_DOCUMENTO_EMAIL", c.parametro);
        std::filesystem::remove_all(outbox);
        abre().EnviaComprobante(c.factura, "Factura", c.forzar);
        EXPECT_EQ(archivosEn(outbox), c.enviados) << transcript();
        DescargaComponente();
    }
}

// A refused payment-method dialog is reported under its handler's name.
TEST_F(GuardadoTest, PaymentMethodRefusalIsShown)
{
    frmVN003& f = nuevo();
    f.cmdCuentaBancaria_Click();
    ASSERT_NE(ultimo(), nullptr);
    EXPECT_EQ(ultimo()->id, "ERR-ID:7500001");
    EXPECT_EQ(ultimo()->prompt.rfind("cmdCuentaBancaria_Click() - \r\n", 0), 0u) << ultimo()->prompt;
}

} // namespace
} // namespace tesmira::vn003::testing
