#pragma once
// Printed documents painted as documents: the company's header, a bold title with the folio,
// the customer block, a table whose headings repeat on every page, each line's lots and serial
// numbers under it, the totals, a received-by line and "Página n de m". The same painting
// feeds the print preview, PDF files and page images.
#include "host/output/DocumentoImpreso.h"

#include <QString>

#include <vector>

class QImage;
class QPagedPaintDevice;
class QWidget;

namespace tesmira::ui {

// Pages the documents take (each starts on a new page).
int pageCount(const std::vector<host::DocumentoImpreso>& documents);
// Paints every page on the device (a printer or a PDF writer), whose page layout is set.
void paintDocuments(QPagedPaintDevice& device, const std::vector<host::DocumentoImpreso>& documents);
// One page (0-based) as an image of a letter page at the resolution given.
QImage pageImage(const std::vector<host::DocumentoImpreso>& documents, int page, int dpi = 110);
// False (and the reason in error) when the file cannot be written.
bool writeDocumentsPdf(const std::vector<host::DocumentoImpreso>& documents, const QString& path,
                       QString* error = nullptr);
void previewDocuments(const QString& title, const std::vector<host::DocumentoImpreso>& documents, QWidget* parent);

} // namespace tesmira::ui
