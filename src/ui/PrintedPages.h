#pragma once
// Printed documents painted as documents: the company's header, a bold title with the folio,
// the customer's and the document's data, a table whose headings repeat on every page with
// each row's lots and serial numbers under it, the totals, a paragraph, the signature lines
// and "Página n de m". Every kind of document goes through the same layout; the print
// preview, PDF files and page images paint what it places.
#include "host/output/DocumentoImpreso.h"

#include <QColor>
#include <QLineF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <vector>

class QImage;
class QPagedPaintDevice;
class QWidget;

namespace tesmira::ui {

// Positions are in points from the top-left corner of a Letter page's printable area.
struct PlacedText {
    QRectF rect;
    QString text; // already cut to its room, unless it wraps
    double size = 8;
    bool bold = false, italic = false, wrap = false;
    Qt::Alignment align = Qt::AlignLeft;
    QColor color = Qt::black;
};

struct PrintedPage {
    std::vector<PlacedText> texts;
    std::vector<QLineF> rules;
    std::vector<QLineF> hairlines; // the light rules between table rows
    std::vector<QRectF> bands;     // the shaded band behind the column headings
    QStringList lines() const;     // the texts, top to bottom
};

// Each document starts on a new page.
std::vector<PrintedPage> layoutPages(const std::vector<host::DocumentoImpreso>& documents);
// Paints every page on the device (a printer or a PDF writer), whose page layout is set.
void paintDocuments(QPagedPaintDevice& device, const std::vector<host::DocumentoImpreso>& documents);
// One page (0-based) as an image of a Letter page at the resolution given; a null image when
// there is no such page.
QImage pageImage(const std::vector<host::DocumentoImpreso>& documents, int page, int dpi = 110);
// False (and the reason in error) when the file cannot be written.
bool writeDocumentsPdf(const std::vector<host::DocumentoImpreso>& documents, const QString& path,
                       QString* error = nullptr);
void previewDocuments(const QString& title, const std::vector<host::DocumentoImpreso>& documents, QWidget* parent);
// The preview's title: what was printed ("Remisión R0006, Factura A0002").
QString documentsTitle(const std::vector<host::DocumentoImpreso>& documents);

} // namespace tesmira::ui
