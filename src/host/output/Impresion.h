#pragma once
// The printing service: renders documents by print format into files a person can read,
// and shows texts.
#include "host/output/DocumentoImpreso.h"
#include "host/services/Entorno.h"

#include <string>
#include <vector>

namespace tesmira::host {

// What a print call carries besides format and folio. This host prints to files and uses
// none of it; the defaults are what the screen passes.
struct OpcionesImpresion {
    std::string impresora;  // "" = the default printer
    int copias = 0;         // 0 = as many as the format says
    int destino = 0;        // 0 = the printer, not a preview
    std::string archivo;    // "" = no file of the caller's choosing
};

// Where the text viewer opens, in twips (-1 = the viewer's own size), with which buttons
// and font. This host's viewer is a dialog of its own; the defaults are what the screen passes.
struct VentanaTexto {
    int izquierda = 0, arriba = 0, ancho = -1, alto = -1;
    int botones = 7;
    int fuente = -1;
};

class Impresion {
public:
    explicit Impresion(Entorno& entorno) : m_e(entorno) {}

    // Prints the delivery note (or the document the format names) with the folio; an empty
    // folio prints an empty form. Answers false with UltimoError on failure.
    bool Imprime(const std::string& format, const std::string& folio, const OpcionesImpresion& opciones = {});
    // The documents Imprime would print for the format and folio(s); empty, with UltimoError,
    // when one is missing.
    std::vector<DocumentoImpreso> Documentos(const std::string& format, const std::string& folio);
    // Prints a generated document ("TABLE|FOLIO", as the document writers hand it back).
    bool ImprimeDocumento(const std::string& document, const OpcionesImpresion& opciones = {});
    void MuestraTexto(const std::string& text, const std::string& title = "", const VentanaTexto& ventana = {});
    // Path of the last file written.
    const std::string& UltimoArchivo() const { return m_ultimoArchivo; }
    std::string UltimoError() const { return m_ultimoError; }

private:
    // Writes the documents to <carpetaSalida>/<name>.txt, remembers it as the last file and
    // hands them to the dialogs (the desktop shows them).
    bool escribe(const std::string& name, std::vector<DocumentoImpreso> documentos);
    // A print format as Imprime reads it: "" means the delivery note; false for an unknown one.
    struct Formato {
        std::string code, titulo;
        bool factura = false;
    };
    bool formato(const std::string& format, Formato& out);
    bool lee(const Formato& formato, const std::string& folio, std::vector<DocumentoImpreso>& documentos);

    Entorno& m_e;
    std::string m_ultimoArchivo;
    std::string m_ultimoError;
};

} // namespace tesmira::host
