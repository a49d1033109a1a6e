#pragma once
// The delivery-note screen's window: the toolbar, the tabs "Encabezado", "Detalle" and
// "Totales" laid out over the screen's controls, and a status bar. The window only shows the
// screen and hands it the user's actions (FormBinder); every rule stays in the screen.
#include <QMainWindow>

class QLabel;

namespace tesmira::host {
struct Entorno;
}
namespace tesmira::vn003 {
class frmVN003;
}

namespace tesmira::ui {

class FormBinder;
class GridModel;
class GridView;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // The screen must outlive the window.
    MainWindow(vn003::frmVN003& screen, host::Entorno& entorno, QWidget* parent = nullptr);
    ~MainWindow() override;

    FormBinder& binder() const { return *m_binder; }
    GridView& gridView() const { return *m_gridView; }
    // The host's load and activation, each under the last-resort guard.
    bool load();
    bool activate();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildDetail();
    QWidget* buildTotals();
    void showPrinted(const QDateTime& since);
    void updateStatus();

    vn003::frmVN003& m_screen;
    host::Entorno& m_entorno;
    FormBinder* m_binder;
    GridModel* m_gridModel = nullptr;
    GridView* m_gridView = nullptr;
    QLabel* m_mode = nullptr;
};

} // namespace tesmira::ui
