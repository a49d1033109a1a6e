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

#include <cmath>
#include <functional>

namespace tesmira::ui {

namespace {

// Everything is laid out in points on a letter page with 15 mm margins.
QPageLayout letter()
{
    return QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                       QPageLayout::Millimeter);
}

QString qs(const std::string& s) { return QString::fromStdString(s); }
QString money(double v) { return qs(vb::formatNumber(v, "#,##0.00")); }
QString quantity(double v) { return qs(vb::formatNumber(v, v == std::floor(v) ? "#,##0" : "#,##0.###")); }
QString date(const Value& v) { return v.isNull() ? QString() : qs(vb::formatDate(v.toDate())); }
// Size and colour "00" mean none.
QString variant(const std::string& talla, const std::string& color)
{
    QStringList parts;
    for (const std::string* p : {&talla, &color})
        if (!p->empty() && *p != "00")
            parts << qs(*p);
    return parts.join(QStringLiteral(" / "));
}

constexpr double RowHeight = 12;
constexpr double DetailHeight = 10;
constexpr double HeadingHeight = 16;
constexpr double FooterHeight = 20;
constexpr double FirstHeaderHeight = 116;
constexpr double NextHeaderHeight = 50;
constexpr double TotalsHeight = 130;

struct Column {
    const char* title;
    double width; // 0: takes what is left
    bool right;
};
const Column Columns[] = {
    {"ID", 30, false},      {"Clave", 58, false},    {"Descripción", 0, false}, {"Talla / Color", 72, false},
    {"Cantidad", 60, true}, {"Unidad", 44, false},   {"Precio", 62, true},      {"Importe", 70, true},
};

// One page: which document, which of its lines, and whether it closes the document.
struct Page {
    size_t document = 0;
    size_t first = 0, last = 0; // lines [first, last)
    bool firstOfDocument = false;
    bool closes = false;
};

double lineHeight(const host::LineaImpresa& l) { return RowHeight + DetailHeight * static_cast<double>(l.detalle.size()); }

std::vector<Page> paginate(const std::vector<host::DocumentoImpreso>& documents, double height)
{
    std::vector<Page> pages;
    for (size_t d = 0; d < documents.size(); ++d) {
        const auto& lines = documents[d].lineas;
        size_t at = 0;
        bool first = true;
        while (true) {
            Page page{d, at, at, first, false};
            double room = height - (first ? FirstHeaderHeight : NextHeaderHeight) - HeadingHeight - FooterHeight;
            while (page.last < lines.size() && (lineHeight(lines[page.last]) <= room || page.last == page.first)) {
                room -= lineHeight(lines[page.last]);
                ++page.last;
            }
            page.closes = page.last == lines.size() && room >= TotalsHeight;
            pages.push_back(page);
            at = page.last;
            first = false;
            if (page.closes)
                break;
        }
    }
    return pages;
}

class Painter {
public:
    Painter(QPainter& p, const QRectF& body) : m_p(p), m_body(body) {}

    void page(const host::DocumentoImpreso& d, const Page& pg, int number, int count)
    {
        double y = m_body.top();
        y = header(d, y, pg.firstOfDocument);
        y = headings(y);
        for (size_t i = pg.first; i < pg.last; ++i)
            y = line(d.lineas[i], y);
        if (pg.closes)
            totals(d, y + 6);
        footer(number, count);
    }

private:
    QFont font(double size, bool bold = false, bool italic = false) const
    {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPointSizeF(size);
        f.setBold(bold);
        f.setItalic(italic);
        return f;
    }

    void text(const QRectF& r, const QString& s, Qt::Alignment align, const QFont& f)
    {
        m_p.setFont(f);
        const QString shown = QFontMetricsF(f).elidedText(s, Qt::ElideRight, r.width());
        m_p.drawText(r, static_cast<int>(align | Qt::AlignVCenter), shown);
    }

    double header(const host::DocumentoImpreso& d, double y, bool full)
    {
        const double w = m_body.width();
        const double x = m_body.left();
        text(QRectF(x, y, w * 0.62, 16), qs(d.empresa), Qt::AlignLeft, font(11, true));
        const QString title = qs(d.titulo) + (d.folio.empty() ? QString() : QStringLiteral(" ") + qs(d.folio));
        text(QRectF(x + w * 0.62, y, w * 0.38, 18), title, Qt::AlignRight, font(14, true));
        if (d.estado == "CA") {
            m_p.setPen(QColor(176, 0, 32));
            text(QRectF(x + w * 0.5, y + 18, w * 0.5, 12), QStringLiteral("CANCELADA"), Qt::AlignRight, font(10, true));
            m_p.setPen(Qt::black);
        }
        text(QRectF(x, y + 17, w * 0.6, 10), QStringLiteral("RFC ") + qs(d.empresaRfc), Qt::AlignLeft, font(8));
        text(QRectF(x, y + 27, w * 0.6, 10), qs(d.empresaDireccion), Qt::AlignLeft, font(8));
        text(QRectF(x + w * 0.5, y + 30, w * 0.5, 10), QStringLiteral("Fecha: ") + date(d.fecha), Qt::AlignRight,
             font(8));
        y += 42;
        m_p.drawLine(QPointF(x, y), QPointF(x + w, y));
        if (!full)
            return y + NextHeaderHeight - 42;
        y += 6;
        const std::pair<QString, QString> left[] = {
            {QStringLiteral("Cliente"), qs(d.cliente.substr(0, d.cliente.find("  RFC ")))},
            {QStringLiteral("R.F.C."), qs(d.clienteRfc)},
            {QStringLiteral("Entregar en"), qs(d.direccion)},
            {QStringLiteral("Referencia"), qs(d.referencia)},
        };
        const std::pair<QString, QString> right[] = {
            {QStringLiteral("Sucursal"), qs(d.sucursal)},
            {QStringLiteral("Almacén"), qs(d.almacen)},
            {QStringLiteral("Moneda"), qs(d.moneda) + QStringLiteral("   T.C. ") +
                                            qs(vb::formatNumber(d.tipoCambio, "0.0000"))},
            {QString(), qs(d.extra)},
        };
        for (int i = 0; i < 4; ++i) {
            const double row = y + i * 13;
            text(QRectF(x, row, 70, 12), left[i].first, Qt::AlignLeft, font(8, true));
            text(QRectF(x + 72, row, w * 0.55 - 74, 12), left[i].second, Qt::AlignLeft, font(8));
            text(QRectF(x + w * 0.56, row, 56, 12), right[i].first, Qt::AlignLeft, font(8, true));
            text(QRectF(x + w * 0.56 + 58, row, w * 0.44 - 58, 12), right[i].second, Qt::AlignLeft, font(8));
        }
        return m_body.top() + FirstHeaderHeight;
    }

    std::vector<QRectF> cells(double y, double h) const
    {
        double fixed = 0;
        for (const Column& c : Columns)
            fixed += c.width;
        std::vector<QRectF> out;
        double x = m_body.left();
        for (const Column& c : Columns) {
            const double w = c.width > 0 ? c.width : m_body.width() - fixed;
            out.emplace_back(x + 2, y, w - 4, h);
            x += w;
        }
        return out;
    }

    double headings(double y)
    {
        m_p.fillRect(QRectF(m_body.left(), y, m_body.width(), HeadingHeight - 2), QColor(225, 225, 225));
        const auto r = cells(y, HeadingHeight - 2);
        for (size_t i = 0; i < r.size(); ++i)
            text(r[i], QString::fromUtf8(Columns[i].title), Columns[i].right ? Qt::AlignRight : Qt::AlignLeft,
                 font(7.5, true));
        return y + HeadingHeight;
    }

    double line(const host::LineaImpresa& l, double y)
    {
        const auto r = cells(y, RowHeight);
        const QString values[] = {qs(l.id),       qs(l.producto), qs(l.descripcion), variant(l.talla, l.color),
                                  quantity(l.cantidad), qs(l.unidad), money(l.precio),   money(l.importe)};
        const QFont f = font(7.5);
        for (size_t i = 0; i < r.size(); ++i)
            text(r[i], values[i], Columns[i].right ? Qt::AlignRight : Qt::AlignLeft, f);
        y += RowHeight;
        const QFont detail = font(6.5, false, true);
        for (const std::string& d : l.detalle) {
            text(QRectF(r[2].left() + 10, y, r[2].width() + r[3].width(), DetailHeight), qs(d), Qt::AlignLeft, detail);
            y += DetailHeight;
        }
        m_p.setPen(QColor(210, 210, 210));
        m_p.drawLine(QPointF(m_body.left(), y), QPointF(m_body.right(), y));
        m_p.setPen(Qt::black);
        return y;
    }

    void totals(const host::DocumentoImpreso& d, double y)
    {
        const double x = m_body.right() - 240;
        const QString currency = qs(d.moneda);
        const std::pair<QString, double> rows[] = {{QStringLiteral("Subtotal"), d.subtotal()},
                                                   {QStringLiteral("Descuento global"), d.descuentoGlobal},
                                                   {QStringLiteral("Impuestos"), d.impuesto},
                                                   {QStringLiteral("Total"), d.total()}};
        for (size_t i = 0; i < 4; ++i) {
            const bool last = i == 3;
            text(QRectF(x, y, 100, 13), rows[i].first, Qt::AlignRight, font(8.5, last));
            text(QRectF(x + 100, y, 140, 13), QStringLiteral("$") + money(rows[i].second) + QStringLiteral(" ") + currency,
                 Qt::AlignRight, font(8.5, last));
            y += 14;
        }
        text(QRectF(m_body.left(), y - 56, 220, 12),
             QStringLiteral("Renglones: %1").arg(static_cast<qulonglong>(d.lineas.size())), Qt::AlignLeft, font(8));
        y += 34;
        const double sign = m_body.left() + 20;
        m_p.drawLine(QPointF(sign, y), QPointF(sign + 220, y));
        m_p.drawLine(QPointF(sign + 260, y), QPointF(sign + 360, y));
        text(QRectF(sign, y + 2, 220, 10), QStringLiteral("Recibí de conformidad: nombre y firma"), Qt::AlignHCenter,
             font(7.5));
        text(QRectF(sign + 260, y + 2, 100, 10), QStringLiteral("Fecha"), Qt::AlignHCenter, font(7.5));
    }

    void footer(int number, int count)
    {
        text(QRectF(m_body.left(), m_body.bottom() - 12, m_body.width(), 12),
             QStringLiteral("Página %1 de %2").arg(number).arg(count), Qt::AlignHCenter, font(7.5));
    }

    QPainter& m_p;
    QRectF m_body;
};

// Paints the pages, calling newPage between them; only (>= 0) paints that page alone.
void paintPages(QPainter& painter, double dpi, const std::vector<host::DocumentoImpreso>& documents,
                const std::function<void()>& newPage, int only = -1)
{
    const QRectF body = letter().paintRect(QPageLayout::Point);
    painter.scale(dpi / 72.0, dpi / 72.0);
    const std::vector<Page> pages = paginate(documents, body.height());
    Painter paint(painter, QRectF(0, 0, body.width(), body.height()));
    const int count = static_cast<int>(pages.size());
    for (int i = 0; i < count; ++i) {
        if (only >= 0 && i != only)
            continue;
        if (only < 0 && i > 0)
            newPage();
        paint.page(documents[pages[static_cast<size_t>(i)].document], pages[static_cast<size_t>(i)], i + 1, count);
    }
}

} // namespace

int pageCount(const std::vector<host::DocumentoImpreso>& documents)
{
    return static_cast<int>(paginate(documents, letter().paintRect(QPageLayout::Point).height()).size());
}

void paintDocuments(QPagedPaintDevice& device, const std::vector<host::DocumentoImpreso>& documents)
{
    QPainter painter(&device);
    paintPages(painter, device.logicalDpiX(), documents, [&device] { device.newPage(); });
}

QImage pageImage(const std::vector<host::DocumentoImpreso>& documents, int page, int dpi)
{
    const QRectF paper = letter().fullRect(QPageLayout::Point);
    QImage image(static_cast<int>(paper.width() * dpi / 72), static_cast<int>(paper.height() * dpi / 72),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF margins = letter().paintRect(QPageLayout::Point);
    painter.translate(margins.left() * dpi / 72, margins.top() * dpi / 72);
    paintPages(painter, dpi, documents, [] {}, page);
    return image;
}

bool writeDocumentsPdf(const std::vector<host::DocumentoImpreso>& documents, const QString& path, QString* error)
{
    {
        QPdfWriter writer(path);
        writer.setPageLayout(letter());
        writer.setResolution(300);
        writer.setTitle(QFileInfo(path).completeBaseName());
        writer.setCreator(QStringLiteral("Tesmira"));
        paintDocuments(writer, documents);
    }
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
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&documents](QPrinter* target) { paintDocuments(*target, documents); });
    dialog.resize(900, 760);
    dialog.exec();
}

} // namespace tesmira::ui
