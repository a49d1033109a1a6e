#pragma once
// Printed documents on paper and in PDF. The printing service writes each document as a
// plain text file (fixed columns); here that text is laid out on pages in a fixed-pitch font,
// a form feed starting a new page, for the print preview and for PDF files.
#include <QDateTime>
#include <QString>

#include <memory>

class QTextDocument;
class QWidget;

namespace tesmira::ui {

std::unique_ptr<QTextDocument> printedDocument(const QString& text);
// False (and the reason in error) when the file cannot be written.
bool writePdf(const QString& text, const QString& path, QString* error = nullptr);
// One page (0-based) as the printer would put it on paper, as an image file (the format by
// the file's suffix) at dpi dots per inch. False (and the reason in error) when the page does
// not exist or the file cannot be written.
bool writePageImage(const QString& text, int page, const QString& path, int dpi = 100, QString* error = nullptr);
// The print preview; from it the user prints or saves a PDF.
void previewText(const QString& title, const QString& text, QWidget* parent);
// The newest file in folder modified at or after since; empty when there is none.
QString newestFile(const QString& folder, const QDateTime& since);
// The file's text (UTF-8); empty when it cannot be read.
QString readText(const QString& path);

} // namespace tesmira::ui
