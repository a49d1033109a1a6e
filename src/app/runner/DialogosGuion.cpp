#include "app/runner/DialogosGuion.h"

#include "app/runner/ScriptLine.h"
#include "base/VbConstants.h"
#include "forms/GridCsv.h"

namespace tesmira::host {

namespace {

template <class Q>
auto toma(Q& queue)
{
    auto v = std::move(queue.front());
    queue.pop_front();
    return v;
}

// The first column whose value matches the key (CLAVE first, as the lists put it).
int filaDeClave(const Lista& lista, const std::string& key)
{
    for (size_t r = 0; r < lista.filas.size(); ++r)
        if (!lista.filas[r].empty() && lista.filas[r][0] == key)
            return static_cast<int>(r);
    return -1;
}

} // namespace

std::string DialogosGuion::escapa(const std::string& text) { return app::escaped(text, "\\\"\r\n"); }

int DialogosGuion::mensaje(const std::string& prompt, int flags, const std::string& title, const std::string&,
                           const std::string& id)
{
    m_mensajes.push_back({id, title, prompt, flags});
    if (m_out)
        *m_out << "MSG " << (id.empty() ? "-" : id) << ' ' << flags << " \"" << escapa(title) << "\" \""
               << escapa(prompt) << "\"\n";
    if (!m_botones.empty())
        return toma(m_botones);
    // Unanswered boxes take their default button: Yes for yes/no questions, else OK.
    int buttons = flags & 7;
    if (buttons == vb::vbYesNo || buttons == vb::vbYesNoCancel)
        return vbYes;
    return vbOK;
}

void DialogosGuion::imprimeLista(const char* kind, const Lista& lista)
{
    if (!m_out)
        return;
    *m_out << kind << " \"" << escapa(lista.titulo) << "\"";
    for (auto& c : lista.columnas)
        *m_out << '\t' << c;
    *m_out << '\n';
    for (auto& fila : lista.filas) {
        *m_out << kind;
        for (auto& v : fila)
            *m_out << '\t' << v;
        *m_out << '\n';
    }
}

int DialogosGuion::lista(const Lista& lista)
{
    m_ultimaLista = lista;
    if (m_listas.empty()) {
        imprimeLista("LIST", lista);
        return -1;
    }
    return filaDeClave(lista, toma(m_listas));
}

bool DialogosGuion::editaTexto(const std::string& title, std::string& text, bool readOnly)
{
    if (m_out)
        *m_out << "EDIT \"" << escapa(title) << "\" \"" << escapa(text) << "\"" << (readOnly ? " readonly" : "")
               << '\n';
    if (m_textos.empty())
        return false;
    auto answer = toma(m_textos);
    if (readOnly)
        return false;
    text = answer;
    return true;
}

void DialogosGuion::muestraTexto(const std::string& title, const std::string& text)
{
    m_mostrados.push_back(text);
    if (m_out)
        *m_out << "TEXT \"" << escapa(title) << "\" \"" << escapa(text) << "\"\n";
}

std::optional<LoteElegido> DialogosGuion::eligeLote(const Lista& lotes)
{
    return elige(m_lotes, "LOTS", lotes);
}

std::optional<SerieElegida> DialogosGuion::eligeSerie(const Lista& series)
{
    return elige(m_series, "SERIALS", series);
}

std::optional<AlmacenElegido> DialogosGuion::eligeAlmacen(const Lista& disponibilidad)
{
    return elige(m_almacenes, "STOCK", disponibilidad);
}

std::optional<PagoElegido> DialogosGuion::eligePago(const Lista& metodos, const PagoElegido&)
{
    return elige(m_pagos, "PAYMENT", metodos);
}

template <class T>
std::optional<T> DialogosGuion::elige(std::deque<T>& respuestas, const char* kind, const Lista& lista)
{
    m_ultimaLista = lista;
    if (respuestas.empty()) {
        imprimeLista(kind, lista);
        return std::nullopt;
    }
    return toma(respuestas);
}

void DialogosGuion::herramientaGrid(forms::Grid& grid, bool secondary)
{
    if (secondary) {
        // Column chooser: scripts have no one to choose, so the columns stay as they are.
        if (m_out)
            *m_out << "GRIDTOOL columns\n";
        return;
    }
    // Export: the visible columns as CSV, written to the transcript.
    if (m_out)
        *m_out << "GRIDTOOL export\n" << forms::gridCsv(grid);
}

void DialogosGuion::impreso(std::vector<DocumentoImpreso>&& documentos)
{
    if (m_impresos.empty())
        m_impresos = std::move(documentos);
    else
        m_impresos.insert(m_impresos.end(), std::make_move_iterator(documentos.begin()),
                          std::make_move_iterator(documentos.end()));
}

} // namespace tesmira::host
