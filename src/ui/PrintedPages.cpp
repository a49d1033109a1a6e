#include "ui/PrintedPages.h"

#include "base/Vb.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <algorithm>
#include <functional>

namespace tesmira::ui {

namespace {

// Letter with 15 mm margins, the paper the company's forms are laid out for.
QPageLayout letter()
{
    return QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                       QPageLayout::Millimeter);
}

QString qs(const std::string& s) { return QString::fromStdString(s); }
QString date(const Value& v) { return v.isNull() ? QString() : qs(vb::formatDate(v.toDate())); }

QFont font(double size, bool bold = false, bool italic = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(size);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

// Text is measured on a 72 dpi device, so that widths come out in points.
QFontMetricsF metrics(double size, bool bold = false, bool italic = false)
{
    static const QImage points = [] {
        QImage image(1, 1, QImage::Format_Mono);
        image.setDotsPerMeterX(2835);
        image.setDotsPerMeterY(2835);
        return image;
    }();
    return QFontMetricsF(font(size, bold, italic), &points);
}

constexpr double PointsPerCharacter = 5.1;
constexpr double HeaderHeight = 48;
constexpr double DataRowHeight = 13;
constexpr double HeadingHeight = 16;
constexpr double RowHeight = 12;
constexpr double DetailHeight = 10;
constexpr double FooterHeight = 20;
constexpr double TotalHeight = 14;
constexpr double SignatureHeight = 50;
constexpr double TableFont = 7.5;

double rowHeight(const host::RenglonImpreso& r) { return RowHeight + DetailHeight * static_cast<double>(r.detalle.size()); }

// Lays the pages out one after the other.
class Layout {
public:
    explicit Layout(const QRectF& body) : m_body(body) {}

    void document(const host::DocumentoImpreso& d)
    {
        const std::vector<double> widths = columnWidths(d);
        const double closing = closingHeight(d);
        const double bottom = m_body.height() - FooterHeight;
        size_t at = 0;
        for (bool first = true;; first = false) {
            PrintedPage& page = m_pages.emplace_back();
            double y = headings(page, d, widths, header(page, d, first));
            // A page takes at least one row, however tall, so that the layout always ends; the
            // closing block goes where it fits, on a page of its own if need be.
            bool placed = false;
            while (at < d.renglones.size() && (y + rowHeight(d.renglones[at]) <= bottom || !placed)) {
                y = row(page, d, widths, d.renglones[at++], y);
                placed = true;
            }
            if (at == d.renglones.size() && (y + closing <= bottom || !placed)) {
                close(page, d, y + 6);
                return;
            }
        }
    }

    std::vector<PrintedPage> finish()
    {
        const int count = static_cast<int>(m_pages.size());
        for (int i = 0; i < count; ++i)
            add(m_pages[static_cast<size_t>(i)], QRectF(0, m_body.height() - 12, m_body.width(), 12),
                QStringLiteral("Página %1 de %2").arg(i + 1).arg(count), TableFont, Qt::AlignHCenter);
        return std::move(m_pages);
    }

private:
    void add(PrintedPage& page, const QRectF& r, const QString& s, double size, Qt::Alignment align,
             bool bold = false, bool italic = false, QColor color = Qt::black)
    {
        const QString shown = metrics(size, bold, italic).elidedText(s, Qt::ElideRight, r.width());
        page.texts.push_back({r, shown, size, bold, italic, false, align, color});
    }

    double header(PrintedPage& page, const host::DocumentoImpreso& d, bool full)
    {
        const double w = m_body.width();
        add(page, QRectF(0, 0, w * 0.6, 16), qs(d.empresa), 11, Qt::AlignLeft, true);
        const QString title = qs(d.titulo) + (d.folio.empty() ? QString() : QStringLiteral(" ") + qs(d.folio));
        add(page, QRectF(w * 0.6, 0, w * 0.4, 18), title, 14, Qt::AlignRight, true);
        if (d.estado == "CA")
            add(page, QRectF(w * 0.5, 18, w * 0.5, 12), QStringLiteral("CANCELADA"), 10, Qt::AlignRight, true, false,
                QColor(176, 0, 32));
        if (!d.empresaRfc.empty())
            add(page, QRectF(0, 17, w * 0.6, 10), QStringLiteral("RFC ") + qs(d.empresaRfc), 8, Qt::AlignLeft);
        add(page, QRectF(0, 27, w * 0.6, 10), qs(d.empresaDireccion), 8, Qt::AlignLeft);
        add(page, QRectF(w * 0.6, 30, w * 0.4, 10), QStringLiteral("Fecha: ") + date(d.fecha), 8, Qt::AlignRight);
        page.rules.emplace_back(0, 42, w, 42);
        if (!full)
            return HeaderHeight;
        const size_t rows = std::max(d.cliente.size(), d.documento.size());
        const auto data = [&](const std::vector<host::DatoImpreso>& block, double x, double labelWidth, double width) {
            for (size_t i = 0; i < block.size(); ++i) {
                const double y = HeaderHeight + static_cast<double>(i) * DataRowHeight;
                add(page, QRectF(x, y, labelWidth - 2, 12), qs(block[i].etiqueta), 8, Qt::AlignLeft, true);
                add(page, QRectF(x + labelWidth, y, width - labelWidth, 12), qs(block[i].valor), 8, Qt::AlignLeft);
            }
        };
        data(d.cliente, 0, 72, w * 0.55);
        data(d.documento, w * 0.56, 66, w * 0.44);
        return HeaderHeight + static_cast<double>(rows) * DataRowHeight + 10;
    }

    std::vector<double> columnWidths(const host::DocumentoImpreso& d) const
    {
        double fixed = 0;
        int flexible = 0;
        for (const auto& c : d.columnas) {
            fixed += c.ancho * PointsPerCharacter;
            flexible += c.ancho > 0 ? 0 : 1;
        }
        const double rest = std::max(40.0, (m_body.width() - fixed) / std::max(1, flexible));
        std::vector<double> widths;
        for (const auto& c : d.columnas)
            widths.push_back(c.ancho > 0 ? c.ancho * PointsPerCharacter : rest);
        return widths;
    }

    std::vector<QRectF> cells(const std::vector<double>& widths, double y, double h) const
    {
        std::vector<QRectF> out;
        double x = 0;
        for (double w : widths) {
            out.emplace_back(x + 2, y, w - 4, h);
            x += w;
        }
        return out;
    }

    double headings(PrintedPage& page, const host::DocumentoImpreso& d, const std::vector<double>& widths, double y)
    {
        if (d.columnas.empty())
            return y;
        page.bands.emplace_back(0, y, m_body.width(), HeadingHeight - 2);
        const auto r = cells(widths, y, HeadingHeight - 2);
        for (size_t i = 0; i < r.size(); ++i)
            add(page, r[i], qs(d.columnas[i].titulo), TableFont, d.columnas[i].derecha ? Qt::AlignRight : Qt::AlignLeft,
                true);
        return y + HeadingHeight;
    }

    double row(PrintedPage& page, const host::DocumentoImpreso& d, const std::vector<double>& widths,
               const host::RenglonImpreso& r, double y)
    {
        const auto c = cells(widths, y, RowHeight);
        for (size_t i = 0; i < c.size() && i < r.celdas.size(); ++i)
            add(page, c[i], qs(r.celdas[i]), TableFont, d.columnas[i].derecha ? Qt::AlignRight : Qt::AlignLeft);
        y += RowHeight;
        // Lots and serial numbers sit under the description (the widest column).
        const size_t wide = static_cast<size_t>(std::max_element(widths.begin(), widths.end()) - widths.begin());
        for (const std::string& detail : r.detalle) {
            add(page, QRectF(c[wide].left() + 10, y, m_body.width() - c[wide].left() - 10, DetailHeight), qs(detail),
                6.5, Qt::AlignLeft, false, true);
            y += DetailHeight;
        }
        page.hairlines.emplace_back(0, y, m_body.width(), y);
        return y;
    }

    double legendHeight(const host::DocumentoImpreso& d) const
    {
        if (d.leyenda.empty())
            return 0;
        return metrics(8).boundingRect(QRectF(0, 0, m_body.width(), 1000), Qt::TextWordWrap, qs(d.leyenda)).height() + 8;
    }

    double closingHeight(const host::DocumentoImpreso& d) const
    {
        return 6 + TotalHeight * static_cast<double>(d.totales.size()) + legendHeight(d)
            + (d.firmas.empty() ? 0 : SignatureHeight);
    }

    void close(PrintedPage& page, const host::DocumentoImpreso& d, double y)
    {
        const double x = m_body.width() - 250;
        for (size_t i = 0; i < d.totales.size(); ++i) {
            const bool last = i + 1 == d.totales.size();
            add(page, QRectF(x, y, 110, 13), qs(d.totales[i].etiqueta), 8.5, Qt::AlignRight, last);
            add(page, QRectF(x + 110, y, 140, 13), qs(d.totales[i].valor), 8.5, Qt::AlignRight, last);
            y += TotalHeight;
        }
        if (!d.leyenda.empty()) {
            const double h = legendHeight(d);
            page.texts.push_back({QRectF(0, y + 4, m_body.width(), h), qs(d.leyenda), 8, false, false, true,
                                  Qt::AlignLeft, Qt::black});
            y += h;
        }
        if (d.firmas.empty())
            return;
        y += 34;
        const double slot = (m_body.width() - 20) / static_cast<double>(d.firmas.size());
        for (size_t i = 0; i < d.firmas.size(); ++i) {
            const double left = 20 + slot * static_cast<double>(i);
            const double width = std::min(240.0, slot - 30);
            page.rules.emplace_back(left, y, left + width, y);
            add(page, QRectF(left, y + 2, width, 10), qs(d.firmas[i]), TableFont, Qt::AlignHCenter);
        }
    }

    QRectF m_body;
    std::vector<PrintedPage> m_pages;
};

QRectF body()
{
    const QRectF r = letter().paintRect(QPageLayout::Point);
    return QRectF(0, 0, r.width(), r.height());
}

// Paints the pages, calling newPage between them; only (>= 0) paints that page alone.
void paintPages(QPainter& painter, double dpi, const std::vector<PrintedPage>& pages,
                const std::function<void()>& newPage, int only = -1)
{
    painter.scale(dpi / 72.0, dpi / 72.0);
    // Fonts are sized in points of the page: the device's own resolution is undone here.
    const double fontScale = 72.0 / painter.device()->logicalDpiY();
    for (size_t i = 0; i < pages.size(); ++i) {
        if (only >= 0 && static_cast<int>(i) != only)
            continue;
        if (only < 0 && i > 0)
            newPage();
        const PrintedPage& page = pages[i];
        for (const QRectF& band : page.bands)
            painter.fillRect(band, QColor(225, 225, 225));
        painter.setPen(QPen(QColor(210, 210, 210), 0.5));
        for (const QLineF& line : page.hairlines)
            painter.drawLine(line);
        painter.setPen(QPen(Qt::black, 0.8));
        for (const QLineF& line : page.rules)
            painter.drawLine(line);
        for (const PlacedText& t : page.texts) {
            QFont f = font(t.size * fontScale, t.bold, t.italic);
            painter.setFont(f);
            painter.setPen(t.color);
            const int flags = static_cast<int>(t.align) | (t.wrap ? Qt::TextWordWrap | Qt::AlignTop : Qt::AlignVCenter);
            painter.drawText(t.rect, flags, t.text);
        }
    }
}

} // namespace

QStringList PrintedPage::lines() const
{
    QStringList out;
    for (const PlacedText& t : texts)
        out << t.text;
    return out;
}

std::vector<PrintedPage> layoutPages(const std::vector<host::DocumentoImpreso>& documents)
{
    Layout layout(body());
    for (const auto& d : documents)
        layout.document(d);
    return layout.finish();
}

void paintDocuments(QPagedPaintDevice& device, const std::vector<host::DocumentoImpreso>& documents)
{
    const std::vector<PrintedPage> pages = layoutPages(documents);
    QPainter painter(&device);
    // A file that cannot be opened leaves the painter inactive: nothing to paint on.
    if (!painter.isActive())
        return;
    paintPages(painter, device.logicalDpiX(), pages, [&device] { device.newPage(); });
}

QImage pageImage(const std::vector<host::DocumentoImpreso>& documents, int page, int dpi)
{
    const std::vector<PrintedPage> pages = layoutPages(documents);
    if (page < 0 || page >= static_cast<int>(pages.size()))
        return {};
    const QRectF paper = letter().fullRect(QPageLayout::Point);
    QImage image(qRound(paper.width() * dpi / 72), qRound(paper.height() * dpi / 72), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF margins = letter().paintRect(QPageLayout::Point);
    painter.translate(margins.left() * dpi / 72, margins.top() * dpi / 72);
    paintPages(painter, dpi, pages, [] {}, page);
    return image;
}

bool writeDocumentsPdf(const std::vector<host::DocumentoImpreso>& documents, const QString& path, QString* error)
{
    {
        QPdfWriter writer(path);
        writer.setPageLayout(letter());
        writer.setResolution(300);
        writer.setTitle(documentsTitle(documents));
        writer.setCreator(QStringLiteral("Tesmira"));
        paintDocuments(writer, documents);
    }
    // QPdfWriter reports no failure of its own: the file tells.
    if (QFileInfo(path).size() > 0)
        return true;
    if (error)
        *error = QStringLiteral("No se pudo escribir el archivo %1").arg(path);
    return false;
}

void previewDocuments(const QString& title, const std::vector<host::DocumentoImpreso>& documents, QWidget* parent)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(letter());
    printer.setDocName(title);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(title);
    const std::vector<PrintedPage> pages = layoutPages(documents);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&pages](QPrinter* target) {
        QPainter painter(target);
        paintPages(painter, target->logicalDpiX(), pages, [target] { target->newPage(); });
    });
    dialog.resize(900, 760);
    dialog.exec();
}

QString documentsTitle(const std::vector<host::DocumentoImpreso>& documents)
{
    QStringList names;
    for (const auto& d : documents)
        names << (qs(d.titulo) + (d.folio.empty() ? QString() : QStringLiteral(" ") + qs(d.folio)));
    return names.join(QStringLiteral(", "));
}

} // namespace tesmira::ui
