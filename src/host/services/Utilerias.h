#pragma once
// The host's utility object: dates, look-ups, formats, units, amounts, form helpers.
#include "base/Value.h"
#include "host/services/Entorno.h"

#include <functional>
#include <string>

namespace tesmira::forms {
class Form;
class Grid;
} // namespace tesmira::forms

namespace tesmira::host {

class Utilerias {
public:
    explicit Utilerias(Entorno& entorno) : m_e(entorno) {}

    std::string TextoTransaccion(const std::string& text, const std::string& app) const;
    Date FechaServidor() const;
    std::string FormatoFechaHora(const Date& d) const;
    std::string FormatoFecha(const Date& d) const;
    // True only when the date's month has an open ('AC') operating period for the module;
    // a closed month or one without a period row answers false with the reason in UltimoError.
    bool PeriodoAbierto(const Date& d, const std::string& modulo, int flag) const;

    // One column of the first matching row; "" when none. extraColumn/extraValue add an
    // equality condition; excludedState skips rows whose Es_Cve_Estado has that value.
    std::string BuscaDato(const std::string& table, const std::string& keyColumn, const std::string& key,
                          const std::string& resultColumn, bool flag, const std::string& extraColumn,
                          const std::string& extraValue, const std::string& excludedState) const;
    std::string BuscaDatoCondicion(const std::string& table, const std::string& keyColumn, const std::string& key,
                                   const std::string& resultColumn, bool flag, const std::string& condition) const;

    std::string FormatoFolio(const std::string& folio) const;
    std::string FormatoProducto(const std::string& product, const std::string& mask) const;
    // Rate of the currency on the date (latest rate on or before it); the local currency is 1; none known: 0.
    double TipoCambio(const std::string& currency, const Date& d) const;

    // The form whose fields LimpiaControles/HabilitaControles/EnviaTecla act on.
    void LimpiaControles(forms::Form& form, int mode) const;
    void HabilitaControles(forms::Form& form, int mode) const;
    void EnviaTecla(const std::string& keys, int wait) const;
    void setFormaActiva(forms::Form* form) { m_forma = form; }
    // Lets pending window events run (the screen calls it between the rows of long work).
    void EventosPendientes() const
    {
        if (eventosPendientes)
            eventosPendientes();
    }
    // Installed by a host with a window (repaint, progress); unset where there is none.
    std::function<void()> eventosPendientes;

    // Pick list over an SQL whose first columns are CLAVE and DESCRIPCION; answers CLAVE, "" when none.
    std::string ListaBusqueda(const std::string& sql, int width) const;

    double FactorConversion(const std::string& product, const std::string& fromUnit, const std::string& toUnit) const;
    bool UnidadFraccionable(const std::string& unit) const;
    bool UnidadCubicada(const std::string& unit) const;
    bool GrabaCubicado(const std::string& product, const std::string& unit1, const std::string& unitControl2,
                       double factor) const;
    bool ValidaCubicado(const std::string& product, const std::string& unit1, const std::string& unitControl2) const;

    std::string DescripcionAmpliada(const std::string& table, const std::string& folio, const std::string& id) const;
    bool GrabaDescripcionAmpliada(const std::string& table, const std::string& folio, const std::string& id,
                                  const std::string& text) const;

    // The price chain of a line (host/services/Importes.h), numbers 8 and 9 the fee amount and tax base.
    void CalculaImportes(double& cantidad, double& precioLista, double& importeLista, double& descuentoFactor,
                         double& descuentoImporte, double& precioDescontado, double& importeDescontado,
                         double& extra1, double& extra2, double& impuestoFactor, double& impuestoImporte,
                         double& precioNeto, double& importeNeto, int tipoCalculo, double cuota) const;
    double Redondea(double value, int decimals) const;
    double PesoProducto(const std::string& product) const;
    double VolumenProducto(const std::string& product) const;

    std::string EditaTexto(const std::string& title, const std::string& text, int width, bool readOnly) const;
    void HerramientaGrid(forms::Grid& grid) const;
    void HerramientaGrid2(forms::Grid& grid) const;

    std::string FormatoFactura(const std::string& customer, const std::string& branch) const;
    bool RequiereFirma(const std::string& seriesCode, int flag) const;
    std::string UltimoError() const { return m_ultimoError; }

private:
    Entorno& m_e;
    forms::Form* m_forma = nullptr;
    mutable std::string m_ultimoError;
};

} // namespace tesmira::host
