#pragma once
// Dialogs answered from a script: answers are queued per kind beforehand; a dialog with no
// answer queued answers as cancelled. Every message box is written to the transcript as
//   MSG <id or -> <flags> "<title>" "<prompt>"
// and a pick list with no answer prints the rows it offers.
#include "host/output/DocumentoImpreso.h"
#include "host/services/Dialogos.h"

#include <deque>
#include <ostream>
#include <string>
#include <vector>

namespace tesmira::host {

struct MensajeMostrado {
    std::string id, title, prompt;
    int flags = 0;
};

class DialogosGuion : public Dialogos {
public:
    explicit DialogosGuion(std::ostream* transcript = nullptr) : m_out(transcript) {}

    // Queue the answer of the next dialog of each kind.
    void respuestaLista(std::string key) { m_listas.push_back(std::move(key)); }
    void respuestaTexto(std::string text) { m_textos.push_back(std::move(text)); }
    void respuestaLote(LoteElegido l) { m_lotes.push_back(std::move(l)); }
    void respuestaSerie(SerieElegida s) { m_series.push_back(std::move(s)); }
    void respuestaAlmacen(AlmacenElegido a) { m_almacenes.push_back(std::move(a)); }
    void respuestaPago(PagoElegido p) { m_pagos.push_back(std::move(p)); }
    void respuestaMensaje(int button) { m_botones.push_back(button); }

    const std::vector<MensajeMostrado>& mensajes() const { return m_mensajes; }
    const std::vector<std::string>& textosMostrados() const { return m_mostrados; }
    // What the last pick list offered (for checks of a look-up's content).
    const Lista& ultimaLista() const { return m_ultimaLista; }
    void limpia() { m_mensajes.clear(); m_mostrados.clear(); }

    int mensaje(const std::string& prompt, int flags, const std::string& title, const std::string& source,
                const std::string& id) override;
    int lista(const Lista& lista) override;
    bool editaTexto(const std::string& title, std::string& text, bool readOnly) override;
    void muestraTexto(const std::string& title, const std::string& text) override;
    std::optional<LoteElegido> eligeLote(const Lista& lotes) override;
    std::optional<SerieElegida> eligeSerie(const Lista& series) override;
    std::optional<AlmacenElegido> eligeAlmacen(const Lista& disponibilidad) override;
    std::optional<PagoElegido> eligePago(const Lista& metodos, const PagoElegido& actual) override;
    void herramientaGrid(forms::Grid& grid, bool secondary) override;
    // Kept, not printed: the transcript stays as it was.
    void impreso(std::vector<DocumentoImpreso>&& documentos) override;
    // Every document printed, in order.
    const std::vector<DocumentoImpreso>& impresos() const { return m_impresos; }

    // Escapes \, ", CR and LF as the transcript writes them.
    static std::string escapa(const std::string& text);

private:
    void imprimeLista(const char* kind, const Lista& lista);
    // A picker's answer: the next one queued, or cancelled with the list printed.
    template <class T>
    std::optional<T> elige(std::deque<T>& respuestas, const char* kind, const Lista& lista);

    std::ostream* m_out;
    std::deque<std::string> m_listas, m_textos;
    std::deque<LoteElegido> m_lotes;
    std::deque<SerieElegida> m_series;
    std::deque<AlmacenElegido> m_almacenes;
    std::deque<PagoElegido> m_pagos;
    std::deque<int> m_botones;
    std::vector<MensajeMostrado> m_mensajes;
    std::vector<std::string> m_mostrados;
    Lista m_ultimaLista;
    std::vector<DocumentoImpreso> m_impresos;
};

} // namespace tesmira::host
