#include "ui/QtDialogos.h"

#include "base/VbConstants.h"
#include "ui/GridTools.h"
#include "ui/PickListDialog.h"
#include "ui/Printing.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tesmira::ui {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

QDoubleSpinBox* quantityBox(QWidget* parent, double value)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setDecimals(3);
    box->setRange(0, 999999999.0);
    box->setValue(value);
    box->setGroupSeparatorShown(true);
    return box;
}

std::string cellOf(const host::Lista& lista, int row, size_t column)
{
    if (row < 0 || static_cast<size_t>(row) >= lista.filas.size())
        return {};
    const auto& fila = lista.filas[static_cast<size_t>(row)];
    return column < fila.size() ? fila[column] : std::string();
}

} // namespace

MessageStyle messageStyle(int flags)
{
    using B = QMessageBox;
    MessageStyle style;
    switch (flags & 0x70) {
    case vb::vbCritical: style.icon = B::Critical; break;
    case vb::vbQuestion: style.icon = B::Question; break;
    case vb::vbExclamation: style.icon = B::Warning; break;
    case vb::vbInformation: style.icon = B::Information; break;
    default: break;
    }
    switch (flags & 7) {
    case vb::vbOKCancel: style.buttons = {B::Ok, B::Cancel}; break;
    case vb::vbAbortRetryIgnore: style.buttons = {B::Abort, B::Retry, B::Ignore}; break;
    case vb::vbYesNoCancel: style.buttons = {B::Yes, B::No, B::Cancel}; break;
    case vb::vbYesNo: style.buttons = {B::Yes, B::No}; break;
    case vb::vbRetryCancel: style.buttons = {B::Retry, B::Cancel}; break;
    default: style.buttons = {B::Ok}; break;
    }
    const qsizetype which = (flags & 0x300) >> 8;
    style.defaultButton = style.buttons[which < style.buttons.size() ? which : 0];
    return style;
}

int vbButton(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Ok: return host::vbOK;
    case QMessageBox::Abort: return host::vbAbort;
    case QMessageBox::Retry: return host::vbRetry;
    case QMessageBox::Ignore: return host::vbIgnore;
    case QMessageBox::Yes: return host::vbYes;
    case QMessageBox::No: return host::vbNo;
    default: return host::vbCancel;
    }
}

int QtDialogos::mensaje(const std::string& prompt, int flags, const std::string& title, const std::string& source,
                        const std::string& id)
{
    const MessageStyle style = messageStyle(flags);
    QMessageBox box(m_parent);
    box.setIcon(style.icon);
    box.setWindowTitle(title.empty() ? QStringLiteral("Tesmira") : qs(title));
    box.setText(qs(prompt));
    for (auto b : style.buttons)
        box.addButton(b);
    box.setDefaultButton(style.defaultButton);
    // Support asks for the message id; it stays out of the clerk's way until wanted.
    if (!id.empty())
        box.setDetailedText(qs(source.empty() ? id : source + " " + id));
    box.exec();
    return vbButton(box.standardButton(box.clickedButton()));
}

int QtDialogos::lista(const host::Lista& lista)
{
    PickListDialog dialog(lista, m_parent);
    return dialog.exec() == QDialog::Accepted ? dialog.chosenRow() : -1;
}

bool QtDialogos::editaTexto(const std::string& title, std::string& text, bool readOnly)
{
    QDialog dialog(m_parent);
    dialog.setWindowTitle(qs(title));
    auto* editor = new QPlainTextEdit(qs(text), &dialog);
    editor->setReadOnly(readOnly);
    auto* buttons = new QDialogButtonBox(readOnly ? QDialogButtonBox::Close
                                                  : QDialogButtonBox::Ok | QDialogButtonBox::Cancel,
                                         &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(editor, 1);
    layout->addWidget(buttons);
    dialog.resize(560, 360);
    if (dialog.exec() != QDialog::Accepted || readOnly)
        return false;
    text = editor->toPlainText().toStdString();
    return true;
}

void QtDialogos::muestraTexto(const std::string& title, const std::string& text)
{
    QDialog dialog(m_parent);
    dialog.setWindowTitle(title.empty() ? QStringLiteral("Tesmira") : qs(title));
    auto* viewer = new QPlainTextEdit(qs(text), &dialog);
    viewer->setReadOnly(true);
    viewer->setLineWrapMode(QPlainTextEdit::NoWrap);
    viewer->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    auto* print = buttons->addButton(QStringLiteral("Imprimir…"), QDialogButtonBox::ActionRole);
    // Enter closes the report; printing it is a choice of its own.
    print->setAutoDefault(false);
    buttons->button(QDialogButtonBox::Close)->setDefault(true);
    QObject::connect(print, &QPushButton::clicked, &dialog,
                     [&] { previewText(dialog.windowTitle(), viewer->toPlainText(), &dialog); });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(viewer, 1);
    layout->addWidget(buttons);
    dialog.resize(760, 520);
    dialog.exec();
}

std::unique_ptr<PickListDialog> lotPicker(const host::Lista& lotes, QWidget* parent)
{
    auto dialog = std::make_unique<PickListDialog>(lotes, parent);
    auto* q1 = quantityBox(dialog.get(), lotes.cantidad1);
    auto* q2 = quantityBox(dialog.get(), lotes.cantidad2);
    q1->setObjectName(QStringLiteral("cantidad1"));
    q2->setObjectName(QStringLiteral("cantidad2"));
    dialog->addField(QStringLiteral("&Cantidad"), q1);
    dialog->addField(QStringLiteral("Cantidad-&2"), q2);
    dialog->validate = [q1] {
        return q1->value() > 0 ? QString() : QStringLiteral("Indique una cantidad mayor que cero para el lote.");
    };
    return dialog;
}

std::optional<host::LoteElegido> QtDialogos::eligeLote(const host::Lista& lotes)
{
    if (lotes.filas.empty()) {
        QMessageBox::information(m_parent, QString::fromStdString(lotes.titulo),
                                 QStringLiteral("No hay lotes con existencia."));
        return std::nullopt;
    }
    auto dialog = lotPicker(lotes, m_parent);
    if (dialog->exec() != QDialog::Accepted)
        return std::nullopt;
    return host::LoteElegido{cellOf(lotes, dialog->chosenRow(), 0),
                             dialog->findChild<QDoubleSpinBox*>(QStringLiteral("cantidad1"))->value(),
                             dialog->findChild<QDoubleSpinBox*>(QStringLiteral("cantidad2"))->value()};
}

std::optional<host::SerieElegida> QtDialogos::eligeSerie(const host::Lista& series)
{
    PickListDialog dialog(series, m_parent);
    auto* quantity = quantityBox(&dialog, 1);
    quantity->setObjectName(QStringLiteral("cantidad"));
    dialog.addField(QStringLiteral("&Cantidad"), quantity);
    dialog.validate = [quantity] {
        return quantity->value() > 0 ? QString() : QStringLiteral("Indique una cantidad mayor que cero.");
    };
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return host::SerieElegida{cellOf(series, dialog.chosenRow(), 0), quantity->value()};
}

std::optional<host::AlmacenElegido> QtDialogos::eligeAlmacen(const host::Lista& disponibilidad)
{
    PickListDialog dialog(disponibilidad, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const int row = dialog.chosenRow();
    return host::AlmacenElegido{cellOf(disponibilidad, row, 0), cellOf(disponibilidad, row, 1)};
}

std::optional<host::PagoElegido> QtDialogos::eligePago(const host::Lista& metodos, const host::PagoElegido& actual)
{
    PickListDialog dialog(metodos, m_parent);
    dialog.selectKey(qs(actual.metodo));
    auto* account = new QLineEdit(qs(actual.cuenta), &dialog);
    dialog.addField(QStringLiteral("Cuenta"), account);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return host::PagoElegido{cellOf(metodos, dialog.chosenRow(), 0), account->text().trimmed().toStdString()};
}

void QtDialogos::herramientaGrid(forms::Grid& grid, bool secondary)
{
    if (secondary) {
        ColumnChooser chooser(grid, m_parent);
        if (chooser.exec() == QDialog::Accepted)
            chooser.apply();
        return;
    }
    const QString path = QFileDialog::getSaveFileName(m_parent, QStringLiteral("Exportar detalle"),
                                                      QStringLiteral("detalle.csv"),
                                                      QStringLiteral("Valores separados por comas (*.csv)"));
    if (path.isEmpty())
        return;
    QFile file(path);
    const std::string csv = gridCsv(grid);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(csv.data(), static_cast<qint64>(csv.size())) != static_cast<qint64>(csv.size()))
        QMessageBox::warning(m_parent, QStringLiteral("Tesmira"),
                             QStringLiteral("No se pudo escribir %1: %2").arg(path, file.errorString()));
}

void QtDialogos::impreso(std::vector<host::DocumentoImpreso>&& documentos)
{
    m_impresos.insert(m_impresos.end(), std::make_move_iterator(documentos.begin()),
                      std::make_move_iterator(documentos.end()));
}

} // namespace tesmira::ui
