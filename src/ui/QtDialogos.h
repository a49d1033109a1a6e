#pragma once
// The host's dialogs as Qt shows them: message boxes, pick lists, the text editor and viewer,
// the lot, serial, stock and payment pickers, and the grid tools.
#include "host/output/DocumentoImpreso.h"
#include "host/services/Dialogos.h"

#include <QMessageBox>
#include <QPointer>

#include <memory>
#include <utility>
#include <vector>

namespace tesmira::ui {

// How a message box looks for VB's flags: icon (16 critical, 32 question, 48 warning,
// 64 information), buttons (flags & 7) and default button (256 second, 512 third).
struct MessageStyle {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};
MessageStyle messageStyle(int flags);
// The VB button code (vbOK = 1 ... vbNo = 7) of a pressed button; vbCancel when none.
int vbButton(QMessageBox::StandardButton button);

class PickListDialog;

// The lot picker: the lots on hand, then the quantities (starting from the line's) that Tab
// reaches; a pick without a quantity is refused with its reason.
std::unique_ptr<PickListDialog> lotPicker(const host::Lista& lotes, QWidget* parent);

class QtDialogos : public host::Dialogos {
public:
    explicit QtDialogos(QWidget* parent = nullptr) : m_parent(parent) {}
    // The window the dialogs belong to.
    void setParent(QWidget* parent) { m_parent = parent; }

    int mensaje(const std::string& prompt, int flags, const std::string& title, const std::string& source,
                const std::string& id) override;
    int lista(const host::Lista& lista) override;
    bool editaTexto(const std::string& title, std::string& text, bool readOnly) override;
    void muestraTexto(const std::string& title, const std::string& text) override;
    std::optional<host::LoteElegido> eligeLote(const host::Lista& lotes) override;
    std::optional<host::SerieElegida> eligeSerie(const host::Lista& series) override;
    std::optional<host::AlmacenElegido> eligeAlmacen(const host::Lista& disponibilidad) override;
    std::optional<host::PagoElegido> eligePago(const host::Lista& metodos, const host::PagoElegido& actual) override;
    void herramientaGrid(forms::Grid& grid, bool secondary) override;
    // Kept until the window takes them: a command's documents are previewed together when it ends.
    void impreso(std::vector<host::DocumentoImpreso>&& documentos) override;
    // What was printed since the last call, in order.
    std::vector<host::DocumentoImpreso> tomaImpresos() { return std::exchange(m_impresos, {}); }

private:
    QPointer<QWidget> m_parent;
    std::vector<host::DocumentoImpreso> m_impresos;
};

} // namespace tesmira::ui
