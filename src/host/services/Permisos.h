#pragma once
// Per-screen warehouse settings and stock services.
#include "host/services/Entorno.h"

#include <memory>
#include <string>

namespace tesmira::host {

class Permisos {
public:
    explicit Permisos(Entorno& entorno);
    ~Permisos();
    Permisos(const Permisos&) = delete;
    Permisos& operator=(const Permisos&) = delete;

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

    // For one load: while it lives, Existencia and CostoProducto of order `folio`'s products in
    // the given branch and warehouse, for one size and one colour, answer from one read of their
    // stock rows, with what a look-up of their own would answer. Other questions are asked as
    // always. Nothing may write stock while it lives; one at a time per Permisos.
    class ExistenciasPedido {
    public:
        ExistenciasPedido(Permisos& permisos, const std::string& branch, const std::string& warehouse,
                          const std::string& folio);
        ~ExistenciasPedido();
        ExistenciasPedido(const ExistenciasPedido&) = delete;
        ExistenciasPedido& operator=(const ExistenciasPedido&) = delete;

    private:
        Permisos& m_p;
    };

private:
    struct Leidas;
    struct Fila;
    // The row read for the key; null when none was read for it.
    const Fila* leida(const std::string& branch, const std::string& warehouse, const std::string& product,
                      const std::string& size, const std::string& colour) const;

    Entorno& m_e;
    mutable std::string m_ultimoError;
    std::unique_ptr<Leidas> m_leidas;
};

} // namespace tesmira::host
