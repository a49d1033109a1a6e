#include "ui/Printing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>

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
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(9);
    doc->setDefaultFont(font);
    doc->setDocumentMargin(0);
    QTextCursor cursor(doc.get());
    const QStringList pages = QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).split(QChar('\f'));
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
