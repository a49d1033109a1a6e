// Two sessions on one company database at the same moment, each on its own connection and
// speaking only through db::Connection, so these cases hold on every engine.
#include "DemoHost.h"

#include "host/output/Firma.h"
#include "host/writers/Escritura.h"

#include <chrono>
#include <functional>
#include <future>
#include <latch>
#include <thread>

namespace tesmira::host::prueba {
namespace {

using namespace std::chrono_literals;

// Runs `trabajo` on two connections of their own, started at the same moment.
template <class Resultado>
std::array<Resultado, 2> aLaVez(const std::string& base, std::function<Resultado(db::Connection&)> trabajo)
{
    std::latch salida(2);
    auto uno = [&] {
        db::Connection c(base, db::OpenMode::WithSchema);
        salida.arrive_and_wait();
        return trabajo(c);
    };
    auto a = std::async(std::launch::async, uno);
    auto b = std::async(std::launch::async, uno);
    return {a.get(), b.get()};
}

using Concurrencia = DemoHost;

// The counter's row is taken before it is read: two saves never share a folio, even when the
// first holds its transaction open while the second asks.
TEST_F(Concurrencia, TwoSavesNeverGetTheSameFolio)
{
    const auto folios = aLaVez<std::string>(conexion->path(), [](db::Connection& c) {
        db::Transaction t(c);
        const std::string folio = escritura::siguienteFolio(c, "Remision", "Remision_Encabezado", "Rm_Folio");
        c.Execute("INSERT INTO Remision_Encabezado (Rm_Folio) VALUES ('" + db::quoted(folio) + "')");
        std::this_thread::sleep_for(100ms);
        t.commit();
        return folio;
    });
    EXPECT_NE(folios[0], folios[1]);
    EXPECT_EQ(dato("SELECT count(*) FROM Remision_Encabezado WHERE Rm_Folio IN ('" + folios[0] + "', '" + folios[1] +
                   "')"),
              "2");
}

// Two first signatures at once end with one stored pair, the one both sessions signed with.
TEST_F(Concurrencia, FirstSignaturesAtOnceShareOneKeyPair)
{
    for (int ronda = 0; ronda < 5; ++ronda) {
        conexion->Execute("UPDATE Empresa SET Em_Llave_Privada = '', Em_Llave_Publica = ''");
        const auto publicas = aLaVez<std::string>(conexion->path(), [this](db::Connection& c) {
            Entorno propio{c, dialogos, "ADMIN", entorno->fechaServidor, entorno->carpetaSalida};
            return Firma(propio).LlavePublica();
        });
        ASSERT_FALSE(publicas[0].empty());
        EXPECT_EQ(publicas[0], publicas[1]) << "round " << ronda;
        EXPECT_EQ(dato("SELECT Em_Llave_Publica FROM Empresa"), publicas[0]) << "round " << ronda;
    }
    // And a seal made now verifies with the stored pair.
    Firma firma(*entorno);
    ASSERT_EQ(firma.FirmaFactura("A0001"), "");
    EXPECT_TRUE(firma.verificaComprobante("Factura", "A0001"));
}

} // namespace
} // namespace tesmira::host::prueba
