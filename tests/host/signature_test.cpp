// Digital signature of invoices with the company's key pair.
#include "DemoHost.h"

#include "host/output/Firma.h"

namespace tesmira::host::prueba {
namespace {

class Firmas : public DemoHost {
protected:
    std::string documento(const std::string& folio) { return conexion->DefaultDatabase() + "|1|" + folio; }
};

// The demo's signed invoice carries a seal made with the company's stored key pair.
TEST_F(Firmas, LaFacturaDeDemostracionVerificaConLaLlaveGuardada)
{
    const std::string publica = dato("SELECT Em_Llave_Publica FROM Empresa");
    ASSERT_EQ(publica.rfind("-----BEGIN PUBLIC KEY-----", 0), 0u) << "the demo company has its keys";
    Firma firma(*entorno);
    EXPECT_TRUE(firma.verificaComprobante("Factura", "A0001"));
    EXPECT_EQ(firma.LlavePublica(), publica) << "verifying generated no other pair";
}

// Guards against a signature that does not cover the invoice's content.
TEST_F(Firmas, FirmaVerificaYDetectaAlteraciones)
{
    Firma firma(*entorno);
    ASSERT_EQ(firma.FirmaDocumento(documento("A0001")), "");
    EXPECT_TRUE(firma.verificaComprobante("Factura", "A0001"));

    const std::string cadena = dato("SELECT Cd_Cadena_Original FROM Comprobante_Digital WHERE Cd_Documento = 'A0001'");
    const std::string sello = dato("SELECT Cd_Sello FROM Comprobante_Digital WHERE Cd_Documento = 'A0001'");
    EXPECT_EQ(cadena, firma.CadenaOriginal("A0001"));
    EXPECT_TRUE(firma.verifica(cadena, sello));
    EXPECT_FALSE(firma.verifica(cadena + " ", sello));
    EXPECT_FALSE(firma.verifica(cadena, "AAAA"));
    EXPECT_FALSE(firma.verifica(cadena, "no es base64"));

    conexion->Execute("UPDATE Factura SET Fc_Total = Fc_Total + 1 WHERE Fc_Factura = 'A0001'");
    EXPECT_FALSE(firma.verificaComprobante("Factura", "A0001")) << "the stored text no longer matches the invoice";
}

// A company without keys gets one pair, on first use, which every signer then shares.
TEST_F(Firmas, LaLlaveSeGeneraUnaSolaVez)
{
    conexion->Execute("UPDATE Empresa SET Em_Llave_Privada = '', Em_Llave_Publica = ''");
    const std::string publica = Firma(*entorno).LlavePublica();
    EXPECT_EQ(publica.rfind("-----BEGIN PUBLIC KEY-----", 0), 0u);
    EXPECT_EQ(dato("SELECT Em_Llave_Publica FROM Empresa"), publica);
    EXPECT_EQ(Firma(*entorno).LlavePublica(), publica);
    Firma a(*entorno), b(*entorno);
    ASSERT_EQ(a.FirmaFactura("A0001"), "");
    EXPECT_TRUE(b.verificaComprobante("Factura", "A0001"));
}

TEST_F(Firmas, TextosQueNoSeFirman)
{
    conexion->Execute("INSERT INTO Factura (Fc_Factura, Es_Cve_Estado) VALUES ('A0099', 'CA')");
    struct Caso {
        const char* nombre;
        std::string texto;
        std::string error;
    };
    const Caso casos[] = {
        {"vacío", "", "Documento a firmar no válido: "},
        {"otro tipo", documento("A0001").replace(documento("A0001").find("|1|"), 3, "|2|"), ""},
        {"otra base", "otra|1|A0001", "La base de datos otra no es la de la sesión"},
        {"factura inexistente", documento("A9999"), "No existe la factura: A9999"},
        {"factura cancelada", documento("A0099"), "La factura A0099 está cancelada"},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        const std::string resultado = Firma(*entorno).FirmaDocumento(caso.texto);
        if (caso.error.empty())
            EXPECT_EQ(resultado.rfind("Documento a firmar no válido", 0), 0u) << resultado;
        else
            EXPECT_EQ(resultado, caso.error);
    }
    EXPECT_EQ(dato("SELECT COUNT(*) FROM Comprobante_Digital WHERE Cd_Documento IN ('A9999', 'A0099')"), "0");
}

} // namespace
} // namespace tesmira::host::prueba
