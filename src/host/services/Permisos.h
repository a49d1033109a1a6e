#pragma once
// Per-screen warehouse settings and stock services.
#include "host/services/Entorno.h"

#include <string>

namespace tesmira::host {

class Permisos {
public:
    explicit Permisos(Entorno& entorno) : m_e(entorno) {}

    bool ManejaTalla(const std::string& branch, const std::string& warehouse) const;
    bool ManejaColor(const std::string& branch, const std::string& warehouse) const;
    bool ManejaLote(const std::string& branch, const std::string& warehouse) const;
    bool ManejaSerie(const std::string& branch, const std::string& warehouse) const;
    bool ManejaUbicacion(const std::string& branch, const std::string& warehouse) const;
    // Stock in control unit 1 or 2, converted to the given unit; "%" size or colour sums them all.
    double Existencia(const std::string& branch, const std::string& warehouse, const std::string& product,
                      const std::string& size, const std::string& colour, int controlNumber,
                      const std::string& unit) const;
    double CostoProducto(const std::string& branch, const std::string& warehouse, const std::string& product,
                         const std::string& size, const std::string& colour, int flag, const std::string& unit) const;
    // Shows stock by branch and warehouse; the choice comes back in branch and warehouse
    // (left as they were when cancelled).
    void ConsultaDisponibilidad(std::string& branch, std::string& warehouse, const std::string& product,
                                const std::string& size, const std::string& colour) const;
    std::string UltimoError() const { return m_ultimoError; }

private:
    Entorno& m_e;
    mutable std::string m_ultimoError;
};

} // namespace tesmira::host
