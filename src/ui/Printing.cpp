#include "ui/Printing.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextOption>

#include <algorithm>

namespace tesmira::ui {

namespace {

// Letter with 15 mm margins, the size the delivery-note forms are laid out for.
QPageLayout pageLayout()
{
    return QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                       QPageLayout::Millimeter);
}

} // namespace

std::unique_ptr<QTextDocument> printedDocument(const QString& text)
{
    auto doc = std::make_unique<QTextDocument>();
    const QStringList pages = QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).split(QChar('\f'));
    // The printed forms are laid out in columns of characters: the widest line must fit the
    // page, so the font shrinks for wide forms and lines never wrap.
    qsizetype widest = 1;
    for (const QString& line : QString(text).split(QRegularExpression(QStringLiteral("[\r\n\f]+"))))
        widest = std::max(widest, line.size());
    // QTextDocument::print adds 2 cm margins of its own inside the page's.
    constexpr double printMarginPt = 2 / 2.54 * 72;
    const double usableWidthPt = pageLayout().paintRect(QPageLayout::Point).width() - 2 * printMarginPt;
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(9);
    // Measured on a 72 dpi device, widths come out in points.
    QImage points(1, 1, QImage::Format_Mono);
    points.setDotsPerMeterX(2835);
    points.setDotsPerMeterY(2835);
    const double widestAt9 = QFontMetricsF(font, &points).horizontalAdvance(QString(widest, QChar('0')));
    if (widestAt9 > usableWidthPt)
        font.setPointSizeF(std::max(4.0, 9 * usableWidthPt / widestAt9 * 0.98));
    doc->setDefaultFont(font);
    doc->setDocumentMargin(0);
    QTextOption noWrap;
    noWrap.setWrapMode(QTextOption::NoWrap);
    doc->setDefaultTextOption(noWrap);
    QTextCursor cursor(doc.get());
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0) {
            QTextBlockFormat pageBreak;
            pageBreak.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            cursor.insertBlock(pageBreak);
        }
        cursor.insertText(pages[i]);
    }
    return doc;
}

bool writePdf(const QString& text, const QString& path, QString* error)
{
    QPdfWriter writer(path);
    writer.setPageLayout(pageLayout());
    writer.setTitle(QFileInfo(path).completeBaseName());
    writer.setCreator(QStringLiteral("Tesmira"));
    auto doc = printedDocument(text);
    doc->print(&writer);
    // QPdfWriter reports no failure of its own: the file tells.
    if (QFileInfo(path).size() > 0)
        return true;
    if (error)
        *error = QStringLiteral("No se pudo escribir el archivo %1").arg(path);
    return false;
}

bool writePageImage(const QString& text, int page, const QString& path, int dpi, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const QPageLayout layout = pageLayout();
    QImage image(layout.fullRectPixels(dpi).size(), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    // Laid out as QTextDocument::print lays it out: the page's paint rectangle, with the 2 cm
    // margins print adds inside it.
    auto doc = printedDocument(text);
    doc->documentLayout()->setPaintDevice(&image);
    const QRect body = layout.paintRectPixels(dpi);
    QTextFrameFormat frame = doc->rootFrame()->frameFormat();
    frame.setMargin(2 / 2.54 * dpi);
    doc->rootFrame()->setFrameFormat(frame);
    doc->setPageSize(body.size());
    if (page < 0 || page >= doc->pageCount())
        return fail(QStringLiteral("El documento no tiene la página %1").arg(page + 1));
    {
        QPainter painter(&image);
        painter.translate(body.topLeft());
        painter.setClipRect(QRect(QPoint(0, 0), body.size()));
        painter.translate(0, -page * body.height());
        doc->drawContents(&painter, QRectF(0, page * body.height(), body.width(), body.height()));
    }
    if (!image.save(path))
        return fail(QStringLiteral("No se pudo escribir el archivo %1").arg(path));
    return true;
}

void previewText(const QString& title, const QString& text, QWidget* parent)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(pageLayout());
    printer.setDocName(title);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(title);
    auto doc = printedDocument(text);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&doc](QPrinter* target) { doc->print(target); });
    dialog.resize(900, 700);
    dialog.exec();
}

QString newestFile(const QString& folder, const QDateTime& since)
{
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, QDir::Time);
    if (files.isEmpty() || files.front().lastModified() < since)
        return {};
    return files.front().absoluteFilePath();
}

QString readText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace tesmira::ui
