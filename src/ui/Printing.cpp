#include "ui/Printing.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <memory>

namespace tesmira::ui {

namespace {

// Letter with 15 mm margins, as the printed documents.
QPageLayout pageLayout()
{
    return QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                       QPageLayout::Millimeter);
}

std::unique_ptr<QTextDocument> textDocument(const QString& text)
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

} // namespace

void previewText(const QString& title, const QString& text, QWidget* parent)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(pageLayout());
    printer.setDocName(title);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(title);
    auto doc = textDocument(text);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&doc](QPrinter* target) { doc->print(target); });
    dialog.resize(900, 700);
    dialog.exec();
}

} // namespace tesmira::ui
