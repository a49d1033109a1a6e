// Company parameters, user rights and the user's bindings as the screen's load reads them.
#include "DemoHost.h"

#include "base/Error.h"
#include "host/services/Sistema.h"

namespace tesmira::host::prueba {
namespace {

class SistemaTest : public DemoHost {};

struct ParametroCaso {
    const char* nombre;
    const char* guardado; // nullptr: the company never set the key
    const char* tipo;
    const char* predeterminado;
    Value esperado;
};

// Guards the conversion of stored texts and of the caller's default per type code; keys ignore
// case and an unknown type code is a programming error.
TEST_F(SistemaTest, ParametroValorConvierteSegunTipo)
{
    const ParametroCaso casos[] = {
        {"sin_valor_B_predeterminado_0", nullptr, "B", "0", Value(false)},
        {"sin_valor_B_predeterminado_1", nullptr, "B", "1", Value(true)},
        {"B_SI", "SI", "B", "0", Value(true)},
        {"B_no_minusculas", "no", "B", "1", Value(false)},
        {"B_menos_uno", "-1", "B", "0", Value(true)},
        {"B_vacio_guardado", "", "B", "1", Value(false)},
        {"N_con_valor", "5", "N", "1", Value(5.0)},
        {"N_sin_valor", nullptr, "N", "1", Value(1.0)},
        {"N_texto_no_numerico", "abc", "N", "1", Value(0.0)},
        {"T_sin_valor", nullptr, "T", "0000", Value("0000")},
        {"T_guardado_vacio_no_toma_predeterminado", "", "T", "0000", Value("")},
        {"tipo_vacio_es_texto", "SI", "", "", Value("SI")},
    };
    Sistema sistema(*entorno);
    int n = 0;
    for (const auto& c : casos) {
        const std::string key = "PRUEBA_" + std::to_string(n++);
        if (c.guardado)
            parametro(key, c.guardado);
        EXPECT_EQ(sistema.ParametroValor(key, 0, c.tipo, c.predeterminado), c.esperado) << c.nombre;
    }
    EXPECT_EQ(sistema.ParametroValor("fin_moneda_local", 0, "T", "").toString(), "MXN") << "keys ignore case";
    EXPECT_THROW(sistema.ParametroValor("FIN_MONEDA_LOCAL", 0, "X", ""), Error);
}

struct DerechoCaso {
    const char* nombre;
    const char* usuario;
    const char* derecho;
    bool esperado;
};

// Guards that a right is held only by the signed-in user and only when allowed ('SI').
TEST_F(SistemaTest, DerechoDelUsuarioActual)
{
    const DerechoCaso casos[] = {
        {"admin_tiene_CHFECHA", "ADMIN", "CHFECHA", true},
        {"vende1_negado_explicito", "VENDE1", "CHFECHA", false},
        {"vende1_sin_fila", "VENDE1", "PMINIMO", false},
        {"usuario_desconocido", "OTRO", "CHFECHA", false},
        {"sin_usuario", "", "CHFECHA", false},
    };
    for (const auto& c : casos) {
        entorno->usuario = c.usuario;
        EXPECT_EQ(Sistema(*entorno).Derecho("VN003", c.derecho, "No disponible"), c.esperado) << c.nombre;
    }
    entorno->usuario = "ADMIN";
    EXPECT_FALSE(Sistema(*entorno).Derecho("VN999", "CHFECHA", "No disponible")) << "a right of another screen";
}

// A message carries its id to the dialogs and returns the user's answer; a plain notice has none.
TEST_F(SistemaTest, MensajesLleganALosDialogos)
{
    Sistema sistema(*entorno);
    dialogos.respuestaMensaje(vbNo);
    EXPECT_EQ(sistema.Mensaje("¿Cerrar?", 36, "Tesmira", nullptr, "VN003", "ERR-ID:7500001"), vbNo);
    sistema.Aviso("Listo", 64, "Atención");
    ASSERT_EQ(dialogos.mensajes().size(), 2u);
    EXPECT_EQ(dialogos.mensajes()[0].id, "ERR-ID:7500001");
    EXPECT_EQ(dialogos.mensajes()[1].id, "") << "a plain notice has no id";
    EXPECT_NE(transcript.str().find("MSG - 64 \"Atención\" \"Listo\""), std::string::npos) << transcript.str();
}

} // namespace
} // namespace tesmira::host::prueba
