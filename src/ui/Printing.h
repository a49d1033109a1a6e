#pragma once
// Text reports (the partial-delivery report and the like) on paper: the text laid out in a
// fixed-pitch font that shrinks until the widest line fits the page, a form feed starting a
// new page. Documents print through PrintedPages.
#include <QString>

class QWidget;

namespace tesmira::ui {

// The print preview; from it the user prints or saves a PDF.
void previewText(const QString& title, const QString& text, QWidget* parent);

} // namespace tesmira::ui
