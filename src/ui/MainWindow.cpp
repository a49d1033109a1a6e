#include "ui/MainWindow.h"

#include "db/Connection.h"
#include "forms/Grid.h"
#include "forms/Toolbar.h"
#include "host/services/CamposAdicionales.h"
#include "host/services/Entorno.h"
#include "ui/FormBinder.h"
#include "ui/GridModel.h"
#include "ui/QtDialogos.h"
#include "ui/GridView.h"
#include "ui/PrintedPages.h"
#include "ui/WorkProgress.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QMessageBox>
#include <QTimer>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <utility>

namespace tesmira::ui {

namespace {

constexpr int CodeWidth = 110;
// Twips per pixel at the 96 dpi the screen's geometry was drawn for.
constexpr int Twips = 15;

QString qs(const std::string& s) { return QString::fromStdString(s); }

// A grid of caption / field rows inside a group box.
class Rows {
public:
    explicit Rows(QGridLayout* grid) : m_grid(grid) {}

    // Adds "caption: widgets..." on the next row; answers the caption label.
    QLabel* add(const QString& caption, std::initializer_list<QWidget*> widgets)
    {
        auto* label = new QLabel(caption, m_grid->parentWidget());
        m_grid->addWidget(label, m_row, 0);
        auto* line = new QHBoxLayout;
        line->setSpacing(4);
        bool stretches = false;
        for (QWidget* w : widgets) {
            const bool fixed = w->maximumWidth() < QWIDGETSIZE_MAX;
            line->addWidget(w, fixed ? 0 : 1);
            stretches = stretches || !fixed;
        }
        // Codes keep to the left edge of the field column.
        if (!stretches)
            line->addStretch(1);
        m_grid->addLayout(line, m_row, 1);
        ++m_row;
        return label;
    }

    QGridLayout* layout() const { return m_grid; }

private:
    QGridLayout* m_grid;
    int m_row = 0;
};

} // namespace

MainWindow::MainWindow(vn003::frmVN003& screen, host::Entorno& entorno, QWidget* parent)
    : QMainWindow(parent)
    , m_screen(screen)
    , m_entorno(entorno)
    , m_binder(new FormBinder(screen, this))
    , m_campos(std::make_unique<host::CamposAdicionales>(entorno, screen.Controles.documentTable()))
    , m_work(std::make_unique<WorkProgress>(this, entorno.conexion))
{
    setWindowTitle(qs(screen.caption()));
    setStyleSheet(QStringLiteral("QLineEdit[readOnly=\"true\"] { background: palette(window); }"));
    m_campos->instala(screen.Controles);
    m_binder->exemptFromViewOnly(screen.txtFolio);
    m_binder->notice = [this](const QString& text) { statusBar()->showMessage(text, 5000); };
    m_binder->afterEnter = [this](forms::Control& field) {
        if (&field != &m_screen.txt_Pd_Folio && &field != &m_screen.txtSalida)
            return false;
        // A stopped load keeps the clerk in its folio, where Enter loads it again.
        return std::exchange(m_stopped, false) || focusFirstCell();
    };
    m_binder->afterAction = [this] {
        m_stopped = false;
        endWork();
    };

    buildToolbar();
    auto* tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("ssTabKiv"));
    tabs->addTab(buildHeader(), QString());
    tabs->addTab(buildDetail(), QString());
    tabs->addTab(buildTotals(), QString());
    m_binder->bindTabs(tabs, screen.ssTabKiv);
    setCentralWidget(tabs);

    // Alt+1/2/3 are the form's keys (it previews every key); the shortcuts reach it wherever
    // the focus is, and the focus then goes to the tab's first field.
    for (int digit = 1; digit <= 3; ++digit) {
        auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | (Qt::Key_0 + digit)), this);
        connect(shortcut, &QShortcut::activated, this, [this, tabs, digit] {
            m_binder->run(
                [this, digit] {
                    if (m_screen.onKeyDown)
                        m_screen.onKeyDown('0' + digit, 4);
                },
                true);
            if (QWidget* page = tabs->currentWidget(); page && tabs->currentIndex() == digit - 1) {
                if (digit == 2 && m_gridView->isEnabled())
                    m_gridView->setFocus(Qt::ShortcutFocusReason);
                else if (QWidget* first = page->nextInFocusChain(); first && page->isAncestorOf(first))
                    first->setFocus(Qt::TabFocusReason);
            }
        });
    }

    m_mode = new QLabel;
    m_lastFolio = new QLabel;
    statusBar()->addWidget(m_mode);
    statusBar()->addPermanentWidget(m_lastFolio);
    statusBar()->addPermanentWidget(new QLabel(QStringLiteral("Usuario: %1  |  Base: %2")
                                                   .arg(qs(entorno.usuario),
                                                        qs(entorno.conexion.displayName()))));
    m_binder->watch(screen.Controles, [this] { updateStatus(); });
    // Long work (a save of many lines, a large order) lets the window repaint and shows how
    // far it got; the clerk's input waits, so a second accept cannot start meanwhile.
    entorno.progreso = m_work.get();
    vn003::Utilerias().eventosPendientes = [this] { saveStep(); };
    resize(1100, 720);
}

MainWindow::~MainWindow()
{
    vn003::Utilerias().eventosPendientes = nullptr;
    if (m_entorno.progreso == m_work.get())
        m_entorno.progreso = nullptr;
}

void MainWindow::buildToolbar()
{
    auto* bar = addToolBar(QStringLiteral("Controles"));
    bar->setObjectName(QStringLiteral("Controles"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_binder->bindToolbar(
        bar, m_screen.Controles,
        [this](forms::Command command, const QDateTime& started) { afterCommand(command, started); },
        [this](forms::Command command) { return beforeCommand(command); });
    bar->addSeparator();
    auto* campos = bar->addAction(style()->standardIcon(QStyle::SP_FileDialogListView),
                                  QStringLiteral("Campos\n%1").arg(QKeySequence(Qt::Key_F8).toString()));
    campos->setObjectName(QStringLiteral("cmdCampos"));
    campos->setShortcut(QKeySequence(Qt::Key_F8));
    campos->setToolTip(QStringLiteral("Campos adicionales de la remisión (F8)"));
    connect(campos, &QAction::triggered, this, &MainWindow::editAdditionalFields);
    QPointer<QAction> action(campos);
    m_binder->watch(m_screen.Controles, [this, action] {
        if (action)
            action->setEnabled(!m_campos->campos().empty() &&
                               m_screen.Controles.state() != forms::ToolbarState::Empty);
    });
}

bool MainWindow::hasUnsavedWork() const
{
    switch (m_screen.Controles.state()) {
    case forms::ToolbarState::Editing: return true;
    case forms::ToolbarState::New:
        return m_screen.ssDetalle.rowCount() > 0 || !m_screen.txt_Pd_Folio.text().empty();
    default: return false;
    }
}

bool MainWindow::ask(const QString& title, const QString& question)
{
    QMessageBox box(QMessageBox::Question, title, question, QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void MainWindow::notify(const QString& text)
{
    statusBar()->showMessage(text, 10000);
    // A short notice that goes by itself and takes no key from the clerk.
    auto* note = new QLabel(text, this, Qt::ToolTip);
    note->setAttribute(Qt::WA_DeleteOnClose);
    note->setAttribute(Qt::WA_ShowWithoutActivating);
    note->setObjectName(QStringLiteral("aviso"));
    note->setStyleSheet(QStringLiteral("QLabel { padding: 10px; border: 1px solid palette(mid); "
                                       "background: palette(tooltip-base); font-weight: bold; }"));
    note->adjustSize();
    note->move(mapToGlobal(QPoint((width() - note->width()) / 2, height() - note->height() - 60)));
    note->show();
    QTimer::singleShot(3500, note, &QWidget::close);
}

bool MainWindow::beforeCommand(forms::Command command)
{
    using forms::Command;
    m_folioBefore = m_screen.txtFolio.text();
    m_savedBefore = m_campos->ultimoFolioGrabado();
    switch (command) {
    case Command::Limpiar:
        return !hasUnsavedWork() ||
               ask(QStringLiteral("Limpiar"), QStringLiteral("La remisión en captura no se ha guardado.\n"
                                                             "¿Descartar los cambios y limpiar la pantalla?"));
    case Command::Salir:
        m_exitConfirmed = !hasUnsavedWork() ||
                          ask(QStringLiteral("Salir"), QStringLiteral("La remisión en captura no se ha guardado.\n"
                                                                      "¿Descartar los cambios y salir?"));
        return m_exitConfirmed;
    case Command::Eliminar:
        return ask(QStringLiteral("Cancelar remisión"),
                   QStringLiteral("¿Cancelar la remisión %1?").arg(qs(m_screen.txtFolio.text())));
    case Command::Aceptar:
        m_saving = true;
        m_gridView->setFollowSuspended(true);
        return true;
    default: return true;
    }
}

void MainWindow::afterCommand(forms::Command command, const QDateTime&)
{
    using forms::Command;
    endWork();
    m_saving = false;
    if (command == Command::Aceptar) {
        m_gridView->setFollowSuspended(false);
        const std::string folio = m_campos->ultimoFolioGrabado();
        if (m_screen.Controles.state() == forms::ToolbarState::Empty && !folio.empty() && folio != m_savedBefore) {
            m_lastFolio->setText(QStringLiteral("Última remisión: %1").arg(qs(folio)));
            notify(QStringLiteral("Remisión %1 guardada").arg(qs(folio)));
        }
    }
    if (command == Command::Eliminar && !m_folioBefore.empty() && m_screen.txtFolio.text().empty()) {
        m_lastFolio->setText(QStringLiteral("Cancelada: %1").arg(qs(m_folioBefore)));
        notify(QStringLiteral("Remisión %1 cancelada").arg(qs(m_folioBefore)));
    }
    showPrinted();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!m_exitConfirmed && hasUnsavedWork() &&
        !ask(QStringLiteral("Salir"),
             QStringLiteral("La remisión en captura no se ha guardado.\n¿Descartar los cambios y salir?"))) {
        event->ignore();
        return;
    }
    m_exitConfirmed = false;
    QMainWindow::closeEvent(event);
}

void MainWindow::editAdditionalFields()
{
    if (m_campos->campos().empty())
        return;
    const auto state = m_screen.Controles.state();
    const bool editable = state == forms::ToolbarState::New || state == forms::ToolbarState::Editing;
    QDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("Campos adicionales"));
    auto* form = new QFormLayout;
    std::vector<std::pair<std::string, QLineEdit*>> edits;
    for (const auto& campo : m_campos->campos()) {
        auto* edit = new QLineEdit(qs(campo.valor), &dialog);
        edit->setObjectName(qs(campo.nombre));
        edit->setReadOnly(!editable);
        form->addRow(qs(campo.descripcion.empty() ? campo.nombre : campo.descripcion), edit);
        edits.emplace_back(campo.nombre, edit);
    }
    auto* buttons = new QDialogButtonBox(editable ? QDialogButtonBox::Ok | QDialogButtonBox::Cancel
                                                  : QDialogButtonBox::Close,
                                         &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    if (!editable)
        layout->addWidget(new QLabel(QStringLiteral("Solo consulta: pulse Modificar para cambiarlos."), &dialog));
    layout->addLayout(form);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted || !editable)
        return;
    for (const auto& [name, edit] : edits)
        m_campos->asigna(name, edit->text().trimmed().toStdString());
}

void MainWindow::saveStep()
{
    const forms::Grid& grid = m_screen.ssDetalle;
    const int total = grid.rowCount();
    // Before its transaction the save only checks: no row is written yet.
    const bool writing = m_saving && m_entorno.conexion.inTransaction();
    m_work->saving(writing ? std::clamp(grid.row() + 1, 0, total) : 0, total);
}

void MainWindow::endWork()
{
    if (!m_work->finish())
        return;
    m_stopped = true;
    // The screen undid the load: a recalled note is cleared, an order leaves its note empty.
    statusBar()->showMessage(m_screen.Controles.state() == forms::ToolbarState::Empty
                                 ? QStringLiteral("Consulta cancelada: la remisión no se mostró")
                                 : QStringLiteral("Carga cancelada: la remisión quedó sin partidas; "
                                                  "Enter en el folio la vuelve a cargar"),
                             10000);
}

bool MainWindow::focusFirstCell()
{
    const auto state = m_screen.Controles.state();
    if (m_screen.ssDetalle.rowCount() == 0 ||
        (state != forms::ToolbarState::New && state != forms::ToolbarState::Editing))
        return false;
    m_binder->run([this] {
        if (m_screen.ssTabKiv.tab() != 1)
            m_screen.ssTabKiv.userClick(1);
    });
    return m_gridView->focusFirstEditableCell();
}

QLineEdit* MainWindow::newEdit(QWidget* parent, const std::string& name, int width, bool number) const
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(qs(name));
    if (width > 0)
        e->setMaximumWidth(width);
    if (number)
        e->setAlignment(Qt::AlignRight);
    return e;
}

QWidget* MainWindow::buildHeader()
{
    auto* page = new QWidget;
    m_binder->bindFrame(page, m_screen.fr0, false);
    // Every widget gets its parent before it is bound (see FormBinder::bindFrame).
    auto* inner = new QWidget(page);
    // Tab walks the left column top to bottom, then the right one: widgets are made in that order.
    auto* left = new QVBoxLayout;
    left->addWidget(buildDocumentBox(inner));
    left->addWidget(buildSaleBox(inner));
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(buildCustomerBox(inner));
    right->addWidget(buildInvoiceBox(inner));
    right->addWidget(buildDimensionsBox(inner));
    right->addStretch(1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    inner->setLayout(columns);

    auto* scroll = new QScrollArea;
    scroll->setWidget(inner);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    return page;
}

namespace {

// A titled box whose rows are caption / field pairs.
std::pair<QGroupBox*, Rows> groupBox(QWidget* inner, const QString& title)
{
    auto* box = new QGroupBox(title, inner);
    auto* grid = new QGridLayout(box);
    grid->setColumnStretch(1, 1);
    return {box, Rows(grid)};
}

} // namespace

QGroupBox* MainWindow::buildDocumentBox(QWidget* inner)
{
    vn003::frmVN003& f = m_screen;
    FormBinder& b = *m_binder;
    auto [box, rows] = groupBox(inner, QStringLiteral("Documento"));
    auto* folio = newEdit(box, f.txtFolio.name(), CodeWidth, false);
    b.bindText(folio, f.txtFolio, rows.add(QStringLiteral("Folio"), {folio}));
    auto* pedido = newEdit(box, f.txt_Pd_Folio.name(), CodeWidth, false);
    b.bindText(pedido, f.txt_Pd_Folio, rows.add(QStringLiteral("Pedido"), {pedido}));
    auto* fecha = new QDateEdit(box);
    fecha->setObjectName(QStringLiteral("dpFecha"));
    fecha->setMaximumWidth(CodeWidth + 20);
    b.bindDate(fecha, f.dpFecha, rows.add(QStringLiteral("Fecha"), {fecha}));
    auto* salida = newEdit(box, f.txtSalida.name(), CodeWidth, false);
    b.bindText(salida, f.txtSalida, rows.add(QStringLiteral("Salida PDA"), {salida}));
    auto* referencia = newEdit(box, f.txtReferencia.name(), 0, false);
    b.bindText(referencia, f.txtReferencia, rows.add(QStringLiteral("Referencia"), {referencia}));
    auto* sucursal = newEdit(box, f.txt_Sc_Cve_Sucursal.name(), CodeWidth, false);
    b.bindText(sucursal, f.txt_Sc_Cve_Sucursal, rows.add(QStringLiteral("Sucursal"), {sucursal}));
    auto* almacen = newEdit(box, f.txt_Al_Cve_Almacen.name(), CodeWidth, false);
    auto* almacenNombre = newEdit(box, f.txt_Al_Descripcion.name(), 0, false);
    b.bindText(almacen, f.txt_Al_Cve_Almacen, rows.add(QStringLiteral("Almacén"), {almacen, almacenNombre}));
    b.bindText(almacenNombre, f.txt_Al_Descripcion);
    return box;
}

QGroupBox* MainWindow::buildCustomerBox(QWidget* inner)
{
    vn003::frmVN003& f = m_screen;
    auto [box, rows] = groupBox(inner, QStringLiteral("Cliente"));
    auto* cliente = newEdit(box, f.txtCliente.name(), CodeWidth, false);
    auto* clienteNombre = newEdit(box, f.txtNCliente.name(), 0, false);
    m_binder->bindText(cliente, f.txtCliente, rows.add(QStringLiteral("Cliente"), {cliente, clienteNombre}));
    m_binder->bindText(clienteNombre, f.txtNCliente);
    const std::pair<const char*, forms::TextField*> customerRows[] = {
        {"Razón social", &f.txt_Cl_Razon_Social_1}, {"R.F.C.", &f.txt_Cl_R_F_C},
        {"Segmento", &f.txt_Sg_Descripcion},       {"Ruta", &f.txt_Rt_Descripcion},
        {"Días de crédito", &f.txt_Cl_Dias_Credito}, {"Crédito disponible", &f.txt_Credito_Disponible},
        {"Entregar en", &f.txt_Cl_Direccion_1},
    };
    for (const auto& [caption, field] : customerRows) {
        auto* e = newEdit(box, field->name(), 0, field->kind() == forms::TextField::Kind::Number);
        m_binder->bindText(e, *field, rows.add(QString::fromUtf8(caption), {e}));
    }
    return box;
}

QGroupBox* MainWindow::buildSaleBox(QWidget* inner)
{
    vn003::frmVN003& f = m_screen;
    FormBinder& b = *m_binder;
    auto [box, rows] = groupBox(inner, QStringLiteral("Venta"));
    // Beside a code, the name the host's look-up gives for it (display only).
    auto named = [this, box](forms::TextField& field, const char* table, const char* key, const char* column) {
        auto* name = new QLineEdit(box);
        name->setObjectName(qs(field.name()) + QStringLiteral("_Nombre"));
        name->setReadOnly(true);
        name->setFocusPolicy(Qt::NoFocus);
        QPointer<QLineEdit> n(name);
        m_binder->watch(field, [n, &field, table, key, column] {
            if (!n)
                return;
            std::string text;
            if (!field.text().empty()) {
                try {
                    text = vn003::Utilerias().BuscaDato(table, key, field.text(), column, false, "", "", "");
                } catch (const std::exception&) {
                }
            }
            if (n->text() != qs(text))
                n->setText(qs(text));
        });
        return name;
    };
    auto* vendedor = newEdit(box, f.txtVendedor.name(), CodeWidth, false);
    b.bindText(vendedor, f.txtVendedor,
               rows.add(QStringLiteral("Vendedor"),
                        {vendedor, named(f.txtVendedor, "Vendedor", "Vn_Cve_Vendedor", "Vn_Descripcion")}));
    auto* condicion = newEdit(box, f.txtCondicionVenta.name(), CodeWidth, false);
    b.bindText(condicion, f.txtCondicionVenta,
               rows.add(QStringLiteral("Condición de venta"),
                        {condicion, named(f.txtCondicionVenta, "Condicion_Venta", "Cv_Cve_Condicion_Venta",
                                          "Cv_Descripcion")}));
    auto* moneda = newEdit(box, f.txt_Mn_Cve_Moneda.name(), CodeWidth, false);
    auto* monedaNombre = newEdit(box, f.txt_Mn_Descripcion.name(), 0, false);
    b.bindText(moneda, f.txt_Mn_Cve_Moneda, rows.add(QStringLiteral("Moneda"), {moneda, monedaNombre}));
    b.bindText(monedaNombre, f.txt_Mn_Descripcion);
    auto* tipoCambio = newEdit(box, f.txt_Rm_Tipo_Cambio.name(), CodeWidth, true);
    // Before a currency is set the rate is the local currency's own.
    tipoCambio->setPlaceholderText(QStringLiteral("1.0000"));
    auto* monedaDoc = newEdit(box, f.txtMoneda[0]->name(), 60, false);
    b.bindText(tipoCambio, f.txt_Rm_Tipo_Cambio, rows.add(QStringLiteral("Tipo de cambio"), {tipoCambio, monedaDoc}));
    b.bindText(monedaDoc, *f.txtMoneda[0]);
    auto* comentario = newEdit(box, f.txt_Comentario.name(), 0, false);
    b.bindText(comentario, f.txt_Comentario, rows.add(QStringLiteral("Comentario"), {comentario}));

    auto checkBox = [&b, box](forms::CheckBox& model, const QString& caption) {
        auto* check = new QCheckBox(caption, box);
        check->setObjectName(qs(model.name()));
        b.bindCheckBox(check, model);
        return check;
    };
    auto* checks = new QHBoxLayout;
    checks->addWidget(checkBox(f.chSinCargo, QStringLiteral("Sin cargo")));
    checks->addWidget(checkBox(f.chkCerrar, QStringLiteral("Cerrar pedido")));
    checks->addWidget(checkBox(f.chkFacturar, QStringLiteral("Facturar")));
    checks->addStretch(1);
    rows.layout()->addLayout(checks, rows.layout()->rowCount(), 0, 1, 2);
    return box;
}

QGroupBox* MainWindow::buildInvoiceBox(QWidget* inner)
{
    vn003::frmVN003& f = m_screen;
    auto* factura = new QGroupBox(QStringLiteral("Factura"), inner);
    m_binder->bindFrame(factura, f.frFactura);
    auto* layout = new QHBoxLayout(factura);
    auto* serieCaption = new QLabel(QStringLiteral("Serie"), factura);
    auto* serie = newEdit(factura, "txt_Fc_Factura", CodeWidth, false);
    m_binder->bindSeries(serie, f.txt_Fc_Factura, serieCaption);
    auto* cuenta = new QPushButton(QStringLiteral("Método de pago…"), factura);
    cuenta->setObjectName(QStringLiteral("cmdCuentaBancaria"));
    m_binder->bindButton(cuenta, f.cmdCuentaBancaria);
    layout->addWidget(serieCaption);
    layout->addWidget(serie);
    layout->addWidget(cuenta);
    layout->addStretch(1);
    return factura;
}

QGroupBox* MainWindow::buildDimensionsBox(QWidget* inner)
{
    vn003::frmVN003& f = m_screen;
    FormBinder& b = *m_binder;
    auto* campos = new QGroupBox(QStringLiteral("Dimensiones"), inner);
    b.bindFrame(campos, f.frCampos);
    auto* grid = new QGridLayout(campos);
    grid->setColumnStretch(2, 1);
    struct Dimension {
        forms::Label* label;
        const char* caption;
        forms::TextField* code;
        forms::TextField* name;
    };
    const Dimension dimensions[] = {
        {&f.lbProyecto, "Proyecto", &f.txtProyecto, &f.txtNProyecto},
        {&f.lbCentroCosto, "Centro de costo", &f.txtCentroCosto, &f.txtNCentroCosto},
        {&f.lbUen, "Unidad de negocio", &f.txtUen, &f.txtNUen},
        {&f.lbActivoFijo, "Activo fijo", &f.txtActivoFijo, &f.txtNActivoFijo},
        {&f.lbLectura, "Lectura", &f.txtLectura, nullptr},
    };
    // The box shows only when the company uses a dimension: an empty frame says nothing.
    QPointer<QGroupBox> box(campos);
    auto showCampos = [box, dimensions, &f] {
        if (!box)
            return;
        bool any = false;
        for (const Dimension& d : dimensions)
            any = any || d.code->visible();
        box->setVisible(f.frCampos.visible() && any);
    };
    int row = 0;
    for (const Dimension& d : dimensions) {
        auto* label = new QLabel(QString::fromUtf8(d.caption), campos);
        b.bindLabel(label, *d.label);
        auto* code = newEdit(campos, d.code->name(), d.name ? CodeWidth : 0, false);
        b.bindText(code, *d.code);
        grid->addWidget(label, row, 0);
        grid->addWidget(code, row, 1, 1, d.name ? 1 : 2);
        if (d.name) {
            auto* name = newEdit(campos, d.name->name(), 0, false);
            b.bindText(name, *d.name);
            grid->addWidget(name, row, 2);
        }
        ++row;
        b.watch(*d.code, showCampos);
    }
    b.watch(f.frCampos, showCampos);
    return campos;
}

QWidget* MainWindow::buildDetail()
{
    auto* page = new QWidget;
    m_binder->bindFrame(page, m_screen.fr1, false);
    auto* box = new QGroupBox(qs(m_screen.ssDetalle.caption()), page);
    auto* model = new GridModel(m_screen.ssDetalle, this);
    m_gridView = new GridView(*model, m_binder, box);
    m_gridView->setObjectName(QStringLiteral("ssDetalle"));
    m_binder->registerWidget(m_gridView, m_screen.ssDetalle);
    connect(m_gridView, &GridView::notice, this, [this](const QString& text) { statusBar()->showMessage(text, 5000); });
    QPointer<GridView> view(m_gridView);
    m_binder->watch(m_screen.ssDetalle, [view, this] {
        if (view)
            view->setEnabled(m_screen.ssDetalle.enabled());
    });
    // The line count and the sums stay in sight while the clerk works on the lines.
    m_detailFooter = new QLabel(page);
    m_detailFooter->setObjectName(QStringLiteral("pieDetalle"));
    auto* footerTimer = new QTimer(this);
    footerTimer->setSingleShot(true);
    footerTimer->setInterval(150);
    connect(footerTimer, &QTimer::timeout, this, &MainWindow::updateDetailFooter);
    auto later = [footerTimer] { footerTimer->start(); };
    connect(model, &QAbstractItemModel::dataChanged, footerTimer, later);
    connect(model, &QAbstractItemModel::rowsInserted, footerTimer, later);
    connect(model, &QAbstractItemModel::rowsRemoved, footerTimer, later);
    connect(model, &QAbstractItemModel::modelReset, footerTimer, later);
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->addWidget(m_gridView);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(box);
    layout->addWidget(m_detailFooter);
    updateDetailFooter();
    return page;
}

void MainWindow::updateDetailFooter()
{
    const forms::Grid& grid = m_screen.ssDetalle;
    const int quantity = grid.findColumn("Cantidad_1");
    const int amount = grid.findColumn("Precio_Neto_Importe");
    double totalQuantity = 0;
    double totalAmount = 0;
    for (int r = 0; r < grid.rowCount(); ++r) {
        totalQuantity += grid.cell(r, quantity).toDouble();
        totalAmount += grid.cell(r, amount).toDouble();
    }
    const QString currency = qs(m_screen.txt_Mn_Cve_Moneda.text());
    m_detailFooter->setText(QStringLiteral("Renglones: %1    Cantidad-1: %2    Importe: $%3 %4")
                                .arg(QLocale::system().toString(grid.rowCount()),
                                     QLocale::system().toString(totalQuantity, 'f', 3),
                                     QLocale::system().toString(totalAmount, 'f', 2), currency));
}

QWidget* MainWindow::buildTotals()
{
    vn003::frmVN003& f = m_screen;
    auto* page = new QWidget;
    m_binder->bindFrame(page, f.fr2, false);
    // A unit beside each figure; money takes the note's currency.
    struct Row {
        const char* caption;
        forms::TextField* model;
        const char* unit; // nullptr: the note's currency
    };
    auto column = [&](const QString& title, std::initializer_list<Row> rows) {
        auto* box = new QGroupBox(title, page);
        auto* grid = new QGridLayout(box);
        int r = 0;
        for (const Row& row : rows) {
            auto* e = new QLineEdit(box);
            e->setObjectName(qs(row.model->name()));
            e->setAlignment(Qt::AlignRight);
            e->setMaximumWidth(180);
            m_binder->bindText(e, *row.model);
            auto* unit = new QLabel(QString::fromUtf8(row.unit ? row.unit : ""), box);
            if (!row.unit) {
                QPointer<QLabel> u(unit);
                m_binder->watch(*f.txtMoneda[1], [u, &f] {
                    if (u)
                        u->setText(qs(f.txtMoneda[1]->text()));
                });
            }
            grid->addWidget(new QLabel(QString::fromUtf8(row.caption), box), r, 0);
            grid->addWidget(e, r, 1);
            grid->addWidget(unit, r, 2);
            ++r;
        }
        grid->setRowStretch(r, 1);
        return box;
    };
    auto* quantities = column(QStringLiteral("Cantidades"), {{"Cantidad-1", &f.txtTCantidad1, "unidades"},
                                                            {"Cantidad-2", &f.txtTCantidad2, "unidades"},
                                                            {"Peso", &f.txtTPeso, "kg"},
                                                            {"Volumen", &f.txtTVolumen, "m³"}});
    auto* amounts = column(QStringLiteral("Importes"), {{"Suma", &f.txtSuma, nullptr},
                                                       {"Descuento global", &f.txtDescuento_Global, "%"},
                                                       {"Subtotal", &f.txtSubTotal, nullptr},
                                                       {"Impuestos", &f.txtImpuestos, nullptr},
                                                       {"Total", &f.txtTotal, nullptr},
                                                       {"Moneda", f.txtMoneda[1], ""},
                                                       {"Moneda local", &f.txtMonedaLocal, ""},
                                                       {"Total moneda local", &f.txtTotalLocal, ""}});
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(quantities);
    layout->addWidget(amounts);
    layout->addStretch(1);
    return page;
}

void MainWindow::showDocument(const std::string& folio)
{
    m_binder->run([this, &folio] {
        m_screen.txtFolio.setFocus();
        m_screen.txtFolio.userType(folio);
        m_screen.txtFolio.userEnter();
    });
}

void MainWindow::showTab(int index)
{
    m_binder->run([this, index] { m_screen.ssTabKiv.userClick(index); });
}

bool MainWindow::load()
{
    return m_binder->run([this] { m_screen.Form_Load(); });
}

bool MainWindow::activate()
{
    return m_binder->run([this] { m_screen.Form_Activate(); });
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // The screen keeps its own geometry in twips; Qt's layouts do the drawing. A failure
    // while resizing is ignored, as the screen itself ignores it.
    try {
        m_screen.Form_Resize(event->size().width() * Twips, event->size().height() * Twips);
    } catch (const std::exception&) {
    }
}

// Whatever the command printed (a note; on a save that invoices, the invoice, its receipts
// and promissory notes too) is shown together in one preview, from which the clerk prints.
void MainWindow::showPrinted()
{
    auto* dialogos = dynamic_cast<QtDialogos*>(&m_entorno.dialogos);
    if (!dialogos)
        return;
    const std::vector<host::DocumentoImpreso> documents = dialogos->tomaImpresos();
    if (!documents.empty())
        previewDocuments(documentsTitle(documents), documents, this);
}

void MainWindow::updateStatus()
{
    static const char* const names[] = {"Sin documento", "Nueva remisión", "Consulta (solo lectura)",
                                        "Modificación"};
    QString text = QString::fromUtf8(names[static_cast<size_t>(m_screen.Controles.state())]);
    if (!m_screen.Controles.ClaveDocumento().empty())
        text += QStringLiteral("  |  Remisión %1").arg(qs(m_screen.Controles.ClaveDocumento()));
    m_mode->setText(text);
    const auto state = m_screen.Controles.state();
    m_binder->setViewOnly(state == forms::ToolbarState::Empty || state == forms::ToolbarState::Viewing);
    m_gridView->setReadOnly(m_binder->viewOnly());
    updateDetailFooter();
}

} // namespace tesmira::ui
