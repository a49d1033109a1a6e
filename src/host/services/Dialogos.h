#pragma once
// Every modal piece of UI the host owes the screen. The desktop front end shows real
// dialogs; the scenario runner answers from queued answers and prints what it was asked.
#include <optional>
#include <string>
#include <vector>

namespace tesmira::forms {
class Grid;
}

namespace tesmira::host {

// VB message-box buttons as the callers compare them.
enum Boton { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

// Rows to choose from: a header line and text cells, as the host's SQL produced them.
struct Lista {
    std::string titulo;
    std::vector<std::string> columnas;
    std::vector<std::vector<std::string>> filas;
    // Quantities a picker that asks them starts from (what the line holds now).
    double cantidad1 = 0;
    double cantidad2 = 0;
};

struct LoteElegido {
    std::string lote;
    double cantidad1 = 0;
    double cantidad2 = 0;
};

struct SerieElegida {
    std::string serie;
    double cantidad = 0;
};

struct AlmacenElegido {
    std::string sucursal;
    std::string almacen;
};

struct PagoElegido {
    std::string metodo;
    std::string cuenta;
};

struct DocumentoImpreso;

class Dialogos {
public:
    virtual ~Dialogos() = default;
    // A message box; id is "" for plain notices. Answers the button pressed.
    virtual int mensaje(const std::string& prompt, int flags, const std::string& title, const std::string& source,
                        const std::string& id) = 0;
    // A pick list; answers the chosen row's index, -1 when cancelled.
    virtual int lista(const Lista& lista) = 0;
    // Edits text in place; false (text untouched) when cancelled. readOnly shows it only.
    virtual bool editaTexto(const std::string& title, std::string& text, bool readOnly) = 0;
    // Shows a long text (reports).
    virtual void muestraTexto(const std::string& title, const std::string& text) = 0;
    virtual std::optional<LoteElegido> eligeLote(const Lista& lotes) = 0;
    virtual std::optional<SerieElegida> eligeSerie(const Lista& series) = 0;
    virtual std::optional<AlmacenElegido> eligeAlmacen(const Lista& disponibilidad) = 0;
    virtual std::optional<PagoElegido> eligePago(const Lista& metodos, const PagoElegido& actual) = 0;
    // Grid tools: export the grid as CSV (primary) or choose its visible columns (secondary).
    virtual void herramientaGrid(forms::Grid& grid, bool secondary) = 0;
    // What the printing service just printed, handed over (a document may hold thousands of
    // lines); a host with a screen shows it. Nothing by default.
    virtual void impreso(std::vector<DocumentoImpreso>&&) {}
};

} // namespace tesmira::host
