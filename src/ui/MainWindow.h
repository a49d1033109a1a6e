#pragma once
// The delivery-note screen's window: the toolbar, the tabs "Encabezado", "Detalle" and
// "Totales" laid out over the screen's controls, and a status bar. The window only shows the
// screen and hands it the user's actions (FormBinder); every rule stays in the screen.
//
// As the desktop's shell it also asks before one key throws work away (Limpiar, Salir,
// closing the window with a note in capture), before a note is cancelled, and says what a
// save or a cancel did; the scenario runner's commands do none of this.
#include <QMainWindow>

#include <memory>

class QLabel;
class QGroupBox;
class QLineEdit;
class QWidget;

namespace tesmira::forms {
enum class Command;
}
namespace tesmira::host {
class CamposAdicionales;
struct Entorno;
} // namespace tesmira::host
namespace tesmira::vn003 {
class frmVN003;
}

namespace tesmira::ui {

class FormBinder;
class GridView;
class WorkProgress;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // The screen must outlive the window.
    MainWindow(vn003::frmVN003& screen, host::Entorno& entorno, QWidget* parent = nullptr);
    ~MainWindow() override;

    FormBinder& binder() const { return *m_binder; }
    GridView& gridView() const { return *m_gridView; }
    host::CamposAdicionales& camposAdicionales() const { return *m_campos; }
    // The host's load and activation, each under the last-resort guard.
    bool load();
    bool activate();
    // The saved note with the folio, as if the clerk typed it in the empty screen.
    void showDocument(const std::string& folio);
    // Selects a tab (0..2) as a click on it would.
    void showTab(int index);
    // Long work the host drove itself (a script) has ended: its progress goes.
    void endWork();
    // A note in capture holds work the clerk would lose by clearing or leaving.
    bool hasUnsavedWork() const;
    // The toolbar's additional fields of the note on screen (editable only in capture).
    void editAdditionalFields();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildHeader();
    QGroupBox* buildDocumentBox(QWidget* inner);
    QGroupBox* buildCustomerBox(QWidget* inner);
    QGroupBox* buildSaleBox(QWidget* inner);
    QGroupBox* buildInvoiceBox(QWidget* inner);
    QGroupBox* buildDimensionsBox(QWidget* inner);
    QLineEdit* newEdit(QWidget* parent, const std::string& name, int width, bool number) const;
    QWidget* buildDetail();
    QWidget* buildTotals();
    void buildToolbar();
    void showPrinted();
    void updateStatus();
    void updateDetailFooter();
    // The shell's question before a command; false keeps the screen as it is.
    bool beforeCommand(forms::Command command);
    void afterCommand(forms::Command command, const QDateTime& started);
    bool ask(const QString& title, const QString& question);
    void notify(const QString& text);
    // A save's row: the progress follows it while the grid stays put.
    void saveStep();
    // After an order or a dispatch filled the grid, the clerk starts at its first editable cell.
    bool focusFirstCell();

    vn003::frmVN003& m_screen;
    host::Entorno& m_entorno;
    FormBinder* m_binder;
    std::unique_ptr<host::CamposAdicionales> m_campos;
    GridView* m_gridView = nullptr;
    QLabel* m_mode = nullptr;
    QLabel* m_lastFolio = nullptr;
    QLabel* m_detailFooter = nullptr;
    std::unique_ptr<WorkProgress> m_work;
    bool m_saving = false;
    bool m_stopped = false;
    bool m_exitConfirmed = false;
    std::string m_folioBefore;
    std::string m_savedBefore;
};

} // namespace tesmira::ui
