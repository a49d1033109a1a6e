#include "ui/MainWindow.h"

#include "db/Connection.h"
#include "host/services/Entorno.h"
#include "ui/FormBinder.h"
#include "ui/GridModel.h"
#include "ui/GridView.h"
#include "ui/Printing.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDateTime>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

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
{
    setWindowTitle(qs(screen.caption()));
    setStyleSheet(QStringLiteral("QLineEdit[readOnly=\"true\"] { background: palette(window); }"));

    auto* bar = addToolBar(QStringLiteral("Controles"));
    bar->setObjectName(QStringLiteral("Controles"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_binder->bindToolbar(bar, screen.Controles, [this](forms::Command command, const QDateTime& started) {
        // The printing service writes what it printed; the clerk sees it in the preview.
        if (command == forms::Command::Imprimir || command == forms::Command::Aceptar)
            showPrinted(started);
    });

    auto* tabs = new QTabWidget;
    tabs->setObjectName(QStringLiteral("ssTabKiv"));
    tabs->addTab(buildHeader(), QString());
    tabs->addTab(buildDetail(), QString());
    tabs->addTab(buildTotals(), QString());
    m_binder->bindTabs(tabs, screen.ssTabKiv);
    setCentralWidget(tabs);

    // Alt+1/2/3 are the form's keys (it previews every key); the shortcuts reach it wherever the focus is.
    for (int digit = 1; digit <= 3; ++digit) {
        auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | (Qt::Key_0 + digit)), this);
        connect(shortcut, &QShortcut::activated, this, [this, digit] {
            m_binder->run(
                [this, digit] {
                    if (m_screen.onKeyDown)
                        m_screen.onKeyDown('0' + digit, 4);
                },
                true);
        });
    }

    m_mode = new QLabel;
    statusBar()->addWidget(m_mode);
    statusBar()->addPermanentWidget(new QLabel(QStringLiteral("Usuario: %1  |  Base: %2")
                                                   .arg(qs(entorno.usuario),
                                                        qs(entorno.conexion.displayName()))));
    m_binder->watch(screen.Controles, [this] { updateStatus(); });
    // Long work (a save of many lines) lets the window repaint and says it is busy; the
    // clerk's input waits, so a second accept cannot start meanwhile.
    vn003::Utilerias().eventosPendientes = [this] {
        statusBar()->showMessage(QStringLiteral("Procesando…"), 1500);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    resize(1100, 720);
}

MainWindow::~MainWindow() { vn003::Utilerias().eventosPendientes = nullptr; }

QWidget* MainWindow::buildHeader()
{
    vn003::frmVN003& f = m_screen;
    FormBinder& b = *m_binder;
    auto* page = new QWidget;
    b.bindFrame(page, f.fr0, false);
    // Every widget gets its parent before it is bound (see FormBinder::bindFrame).
    auto* inner = new QWidget(page);

    auto edit = [inner](forms::TextField& field, int width = 0) {
        auto* e = new QLineEdit(inner);
        e->setObjectName(qs(field.name()));
        if (width > 0)
            e->setMaximumWidth(width);
        if (field.kind() == forms::TextField::Kind::Number)
            e->setAlignment(Qt::AlignRight);
        return e;
    };
    auto group = [inner](const QString& title) {
        auto* box = new QGroupBox(title, inner);
        auto* grid = new QGridLayout(box);
        grid->setColumnStretch(1, 1);
        return std::pair{box, Rows(grid)};
    };
    auto text = [&b](QLineEdit* e, forms::TextField& field, QLabel* caption = nullptr) {
        b.bindText(e, field, caption);
        return e;
    };

    // Document
    auto [docBox, doc] = group(QStringLiteral("Documento"));
    auto* folio = edit(f.txtFolio, CodeWidth);
    auto* pedido = edit(f.txt_Pd_Folio, CodeWidth);
    auto* fecha = new QDateEdit(inner);
    fecha->setObjectName(QStringLiteral("dpFecha"));
    fecha->setMaximumWidth(CodeWidth + 20);
    auto* salida = edit(f.txtSalida, CodeWidth);
    auto* referencia = edit(f.txtReferencia);
    doc.add(QStringLiteral("Folio"), {text(folio, f.txtFolio)});
    text(pedido, f.txt_Pd_Folio, doc.add(QStringLiteral("Pedido"), {pedido}));
    b.bindDate(fecha, f.dpFecha, doc.add(QStringLiteral("Fecha"), {fecha}));
    text(salida, f.txtSalida, doc.add(QStringLiteral("Salida PDA"), {salida}));
    text(referencia, f.txtReferencia, doc.add(QStringLiteral("Referencia"), {referencia}));

    // Branch and warehouse
    auto* sucursal = edit(f.txt_Sc_Cve_Sucursal, CodeWidth);
    auto* almacen = edit(f.txt_Al_Cve_Almacen, CodeWidth);
    auto* almacenNombre = edit(f.txt_Al_Descripcion);
    text(sucursal, f.txt_Sc_Cve_Sucursal, doc.add(QStringLiteral("Sucursal"), {sucursal}));
    text(almacenNombre, f.txt_Al_Descripcion);
    text(almacen, f.txt_Al_Cve_Almacen, doc.add(QStringLiteral("Almacén"), {almacen, almacenNombre}));

    // Customer
    auto [clienteBox, cli] = group(QStringLiteral("Cliente"));
    auto* cliente = edit(f.txtCliente, CodeWidth);
    auto* clienteNombre = edit(f.txtNCliente);
    text(clienteNombre, f.txtNCliente);
    text(cliente, f.txtCliente, cli.add(QStringLiteral("Cliente"), {cliente, clienteNombre}));
    const std::pair<const char*, forms::TextField*> customerRows[] = {
        {"Razón social", &f.txt_Cl_Razon_Social_1}, {"R.F.C.", &f.txt_Cl_R_F_C},
        {"Segmento", &f.txt_Sg_Descripcion},       {"Ruta", &f.txt_Rt_Descripcion},
        {"Días de crédito", &f.txt_Cl_Dias_Credito}, {"Crédito disponible", &f.txt_Credito_Disponible},
        {"Entregar en", &f.txt_Cl_Direccion_1},
    };
    for (const auto& [caption, field] : customerRows) {
        auto* e = edit(*field);
        text(e, *field, cli.add(QString::fromUtf8(caption), {e}));
    }

    // Sale
    auto [ventaBox, venta] = group(QStringLiteral("Venta"));
    auto* vendedor = edit(f.txtVendedor, CodeWidth);
    auto* condicion = edit(f.txtCondicionVenta, CodeWidth);
    auto* moneda = edit(f.txt_Mn_Cve_Moneda, CodeWidth);
    auto* monedaNombre = edit(f.txt_Mn_Descripcion);
    auto* tipoCambio = edit(f.txt_Rm_Tipo_Cambio, CodeWidth);
    auto* monedaDoc = edit(*f.txtMoneda[0], 60);
    text(vendedor, f.txtVendedor, venta.add(QStringLiteral("Vendedor"), {vendedor}));
    text(condicion, f.txtCondicionVenta, venta.add(QStringLiteral("Condición de venta"), {condicion}));
    text(monedaNombre, f.txt_Mn_Descripcion);
    text(moneda, f.txt_Mn_Cve_Moneda, venta.add(QStringLiteral("Moneda"), {moneda, monedaNombre}));
    text(monedaDoc, *f.txtMoneda[0]);
    text(tipoCambio, f.txt_Rm_Tipo_Cambio, venta.add(QStringLiteral("Tipo de cambio"), {tipoCambio, monedaDoc}));
    auto* comentario = edit(f.txt_Comentario);
    text(comentario, f.txt_Comentario, venta.add(QStringLiteral("Comentario"), {comentario}));

    auto checkBox = [&b, inner](forms::CheckBox& model, const QString& caption) {
        auto* box = new QCheckBox(caption, inner);
        box->setObjectName(qs(model.name()));
        b.bindCheckBox(box, model);
        return box;
    };
    auto* checks = new QHBoxLayout;
    checks->addWidget(checkBox(f.chSinCargo, QStringLiteral("Sin cargo")));
    checks->addWidget(checkBox(f.chkCerrar, QStringLiteral("Cerrar pedido")));
    checks->addWidget(checkBox(f.chkFacturar, QStringLiteral("Facturar")));
    checks->addStretch(1);

    // Invoice
    auto* factura = new QGroupBox(QStringLiteral("Factura"), inner);
    b.bindFrame(factura, f.frFactura);
    auto* facturaLayout = new QHBoxLayout(factura);
    auto* serie = new QLineEdit(factura);
    serie->setObjectName(QStringLiteral("txt_Fc_Factura"));
    serie->setMaximumWidth(CodeWidth);
    auto* serieCaption = new QLabel(QStringLiteral("Serie"), factura);
    b.bindSeries(serie, f.txt_Fc_Factura, serieCaption);
    auto* cuenta = new QPushButton(QStringLiteral("Método de pago…"), factura);
    cuenta->setObjectName(QStringLiteral("cmdCuentaBancaria"));
    b.bindButton(cuenta, f.cmdCuentaBancaria);
    facturaLayout->addWidget(serieCaption);
    facturaLayout->addWidget(serie);
    facturaLayout->addWidget(cuenta);
    facturaLayout->addStretch(1);

    // Analytic dimensions
    auto* campos = new QGroupBox(QStringLiteral("Dimensiones"), inner);
    b.bindFrame(campos, f.frCampos);
    auto* camposGrid = new QGridLayout(campos);
    camposGrid->setColumnStretch(2, 1);
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
    QPointer<QGroupBox> camposBox(campos);
    auto showCampos = [camposBox, dimensions, &f] {
        if (!camposBox)
            return;
        bool any = false;
        for (const Dimension& d : dimensions)
            any = any || d.code->visible();
        camposBox->setVisible(f.frCampos.visible() && any);
    };
    int row = 0;
    for (const Dimension& d : dimensions) {
        auto* label = new QLabel(QString::fromUtf8(d.caption), campos);
        b.bindLabel(label, *d.label);
        auto* code = edit(*d.code, d.name ? CodeWidth : 0);
        text(code, *d.code);
        camposGrid->addWidget(label, row, 0);
        camposGrid->addWidget(code, row, 1, 1, d.name ? 1 : 2);
        if (d.name) {
            auto* name = edit(*d.name);
            text(name, *d.name);
            camposGrid->addWidget(name, row, 2);
        }
        ++row;
        b.watch(*d.code, showCampos);
    }
    b.watch(f.frCampos, showCampos);

    auto* left = new QVBoxLayout;
    left->addWidget(docBox);
    left->addWidget(ventaBox);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(clienteBox);
    right->addLayout(checks);
    right->addWidget(factura);
    right->addWidget(campos);
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

QWidget* MainWindow::buildDetail()
{
    auto* page = new QWidget;
    m_binder->bindFrame(page, m_screen.fr1, false);
    auto* box = new QGroupBox(qs(m_screen.ssDetalle.caption()), page);
    m_gridModel = new GridModel(m_screen.ssDetalle, this);
    m_gridView = new GridView(*m_gridModel, m_binder, box);
    m_gridView->setObjectName(QStringLiteral("ssDetalle"));
    m_binder->registerWidget(m_gridView, m_screen.ssDetalle);
    QPointer<GridView> view(m_gridView);
    m_binder->watch(m_screen.ssDetalle, [view, this] {
        if (view)
            view->setEnabled(m_screen.ssDetalle.enabled());
    });
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->addWidget(m_gridView);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(box);
    return page;
}

QWidget* MainWindow::buildTotals()
{
    vn003::frmVN003& f = m_screen;
    auto* page = new QWidget;
    m_binder->bindFrame(page, f.fr2, false);
    auto field = [this, page](forms::TextField& model) {
        auto* e = new QLineEdit(page);
        e->setObjectName(qs(model.name()));
        e->setAlignment(Qt::AlignRight);
        e->setMaximumWidth(180);
        m_binder->bindText(e, model);
        return e;
    };
    auto column = [&](const QString& title, std::initializer_list<std::pair<const char*, forms::TextField*>> rows) {
        auto* box = new QGroupBox(title, page);
        auto* grid = new QGridLayout(box);
        int r = 0;
        for (const auto& [caption, model] : rows) {
            grid->addWidget(new QLabel(QString::fromUtf8(caption), box), r, 0);
            grid->addWidget(field(*model), r, 1);
            ++r;
        }
        grid->setRowStretch(r, 1);
        return box;
    };
    auto* quantities = column(QStringLiteral("Cantidades"), {{"Cantidad-1", &f.txtTCantidad1},
                                                            {"Cantidad-2", &f.txtTCantidad2},
                                                            {"Peso", &f.txtTPeso},
                                                            {"Volumen", &f.txtTVolumen}});
    auto* amounts = column(QStringLiteral("Importes"), {{"Suma", &f.txtSuma},
                                                       {"Descuento global", &f.txtDescuento_Global},
                                                       {"Subtotal", &f.txtSubTotal},
                                                       {"Impuestos", &f.txtImpuestos},
                                                       {"Total", &f.txtTotal},
                                                       {"Moneda", f.txtMoneda[1]},
                                                       {"Moneda local", &f.txtMonedaLocal},
                                                       {"Total moneda local", &f.txtTotalLocal}});
    auto* layout = new QHBoxLayout(page);
    layout->addWidget(quantities);
    layout->addWidget(amounts);
    layout->addStretch(1);
    return page;
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

void MainWindow::showPrinted(const QDateTime& since)
{
    // File times may be kept to the second.
    const QString file = newestFile(qs(m_entorno.carpetaSalida), since.addSecs(-1));
    if (file.isEmpty())
        return;
    previewText(QFileInfo(file).completeBaseName(), readText(file), this);
}

void MainWindow::updateStatus()
{
    static const char* const names[] = {"Sin documento", "Nueva remisión", "Consulta", "Modificación"};
    const auto state = static_cast<size_t>(m_screen.Controles.state());
    QString text = QString::fromUtf8(names[state]);
    if (!m_screen.Controles.ClaveDocumento().empty())
        text += QStringLiteral("  |  Remisión %1").arg(qs(m_screen.Controles.ClaveDocumento()));
    m_mode->setText(text);
}

} // namespace tesmira::ui
