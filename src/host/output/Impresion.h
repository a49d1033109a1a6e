#pragma once
// The printing service: renders documents by print format into files a person can read,
// and shows texts.
#include "host/output/DocumentoImpreso.h"
#include "host/services/Entorno.h"

#include <string>
#include <vector>

namespace tesmira::host {

class Impresion {
public:
    explicit Impresion(Entorno& entorno) : m_e(entorno) {}

    // Prints the delivery note (or the document the format names) with the folio; an empty
    // folio prints an empty form. Answers false with UltimoError on failure.
    bool Imprime(const std::string& format, const std::string& folio, const std::string& a = "", int b = 0, int c = 0,
                 const std::string& d = "");
    // The documents Imprime would print for the format and folio(s), as documents rather than
    // text; empty, with UltimoError, when one is missing.
    std::vector<DocumentoImpreso> Documentos(const std::string& format, const std::string& folio);
    // Prints a generated document ("TABLE|FOLIO", as the document writers hand it back).
    bool ImprimeDocumento(const std::string& document, const std::string& a = "", int b = 0, int c = 0,
                          const std::string& d = "");
    void MuestraTexto(const std::string& text, const std::string& title = "", int a = 0, int b = 0, int c = -1,
                      int d = -1, int e = 7, int f = -1);
    // Path of the last file written.
    const std::string& UltimoArchivo() const { return m_ultimoArchivo; }
    std::string UltimoError() const { return m_ultimoError; }

private:
    // Writes <carpetaSalida>/<name>.txt and remembers it as the last file.
    bool escribe(const std::string& name, const std::string& text);
    bool lee(const std::string& code, bool factura, const std::string& titulo, const std::string& folio,
             std::vector<DocumentoImpreso>& documentos);

    Entorno& m_e;
    std::string m_ultimoArchivo;
    std::string m_ultimoError;
};

} // namespace tesmira::host
