// The host shell on the desktop: opens the company database (the demo company on first run),
// signs the user in, loads the delivery-note component and shows its screen. With
// --screenshot or --print-preview it runs a vn003-script against the window instead, writes
// the pictures and exits (QT_QPA_PLATFORM=offscreen needs no display).
#include "app/runner/ScriptRunner.h"
#include "base/Error.h"
#include "db/Connection.h"
#include "db/DatabaseName.h"
#include "db/Schema.h"
#include "host/services/Entorno.h"
#include "host/services/PadreShell.h"
#include "ui/MainWindow.h"
#include "host/output/DocumentoImpreso.h"
#include "ui/PrintedPages.h"
#include "ui/QtDialogos.h"
#include "ui/Translations.h"
#include "vn003/Pantalla.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>

#include <fstream>
#include <iostream>
#include <memory>
#include <optional>

using namespace tesmira;

namespace {

int fail(const QString& text)
{
    QMessageBox::critical(nullptr, QStringLiteral("Tesmira"), text);
    return 1;
}

// A new file gets the schema and the demo company; a failed demo load leaves no half-made file.
bool isServer(const QString& name) { return db::databaseKind(name.toStdString()) == db::DatabaseKind::PostgresServer; }

// A server database is made with tesmira-db init, never here.
bool isNewFile(const QString& path) { return !isServer(path) && !QFileInfo::exists(path); }

std::unique_ptr<db::Connection> openDatabase(const QString& path)
{
    const bool fresh = isNewFile(path);
    auto conn = std::make_unique<db::Connection>(path.toStdString());
    if (!fresh)
        return conn;
    try {
        db::createDemo(*conn);
    } catch (...) {
        conn.reset();
        QFile::remove(path);
        throw;
    }
    return conn;
}

struct Pictures {
    QString window;  // PNG of the window
    // FILE.pdf: every document the script printed; otherwise a PNG of the last one's first page
    QString printed;
    QString script;  // empty: none
    QString folio;   // a saved note to show after the script; empty: none
    int tab = -1;    // the tab to show after the script; -1: as the script left it
    QString notice;  // for the status bar
};

// Printed documents go to salida/ beside the company's database.
QString outputFolder(const QString& database)
{
    const QString folder = (isServer(database) ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                                               : QFileInfo(database).absolutePath())
        + QStringLiteral("/salida");
    QDir().mkpath(folder);
    return folder;
}

QString createdNotice(const QString& path)
{
    return QStringLiteral("Se creó la empresa de demostración en %1").arg(QDir::toNativeSeparators(path));
}

int pictureError(const QString& text)
{
    std::cerr << "tesmira: " << text.toStdString() << '\n';
    return 2;
}

// Runs the script against the window (its message boxes print as vn003-script prints them,
// answered by the script), then writes the pictures. Answers the runner's exit code, or 2 when
// a picture could not be made.
int takePictures(const QString& database, const Pictures& pictures)
{
    std::ifstream script;
    if (!pictures.script.isEmpty()) {
        script.open(pictures.script.toStdString());
        if (!script)
            return pictureError(QStringLiteral("No se puede leer el guion %1").arg(pictures.script));
    }
    // The window goes before the runner that holds its screen.
    std::optional<app::ScriptRunner> runner;
    std::unique_ptr<ui::MainWindow> window;
    int rc = 0;
    try {
        const std::string output = outputFolder(database).toStdString();
        auto show = [&window, output](vn003::frmVN003& screen, host::Entorno& entorno) -> host::CamposAdicionales& {
            // A second open replaces the window: the old one lets go of the screen first.
            window.reset();
            entorno.carpetaSalida = output;
            window = std::make_unique<ui::MainWindow>(screen, entorno);
            window->load();
            window->show();
            window->activate();
            return window->camposAdicionales();
        };
        runner.emplace(std::cout, database.toStdString(), show);
        if (script.is_open())
            rc = runner->run(script);
        runner->ensureOpen();
        if (window)
            window->endWork();
    } catch (const std::exception& e) {
        window.reset();
        return pictureError(QString::fromStdString(e.what()));
    }
    if (!pictures.notice.isEmpty())
        window->statusBar()->showMessage(pictures.notice);
    if (!pictures.folio.isEmpty())
        window->showDocument(pictures.folio.toStdString());
    if (pictures.tab >= 0)
        window->showTab(pictures.tab);
    // Layouts settle, queued repaints run and the status bar's progress text (1.5 s) goes
    // before the picture is taken; notices of what the script did stay.
    QEventLoop settle;
    QTimer::singleShot(1600, &settle, &QEventLoop::quit);
    settle.exec();
    if (!pictures.window.isEmpty() && !window->grab().save(pictures.window, "PNG"))
        rc = pictureError(QStringLiteral("No se pudo escribir %1").arg(pictures.window));
    if (!pictures.printed.isEmpty()) {
        const std::vector<host::DocumentoImpreso>& documents = runner->printed();
        QString error;
        if (documents.empty())
            rc = pictureError(QStringLiteral("El guion no imprimió ningún documento"));
        else if (pictures.printed.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
            if (!ui::writeDocumentsPdf(documents, pictures.printed, &error))
                rc = pictureError(error);
        } else if (!ui::pageImage({documents.back()}, 0, 100).save(pictures.printed, "PNG"))
            rc = pictureError(QStringLiteral("No se pudo escribir %1").arg(pictures.printed));
    }
    window.reset();
    return rc;
}

// The command line, as given.
struct Options {
    QString database; // empty: the user's data folder
    QString user;
    std::optional<QString> order, folio;
    std::optional<int> tab; // 0-based
    QString screenshot, printPreview, script;
    bool pictures = false; // --screenshot or --print-preview
};

Options parseOptions(const QApplication& app)
{
    QCommandLineParser args;
    args.setApplicationDescription(QStringLiteral("Tesmira: Remisión de pedidos"));
    args.addHelpOption();
    const QCommandLineOption dbOption(QStringLiteral("db"), QStringLiteral("Archivo de la base de datos, o postgresql://… de un servidor."),
                                      QStringLiteral("FILE"));
    const QCommandLineOption userOption(QStringLiteral("user"), QStringLiteral("Usuario (ADMIN)."),
                                        QStringLiteral("CODE"), QStringLiteral("ADMIN"));
    const QCommandLineOption orderOption(QStringLiteral("order"), QStringLiteral("Abre la remisión de un pedido."),
                                         QStringLiteral("FOLIO"));
    const QCommandLineOption folioOption(QStringLiteral("folio"), QStringLiteral("Muestra una remisión guardada."),
                                         QStringLiteral("FOLIO"));
    const QCommandLineOption tabOption(QStringLiteral("tab"), QStringLiteral("Pestaña a mostrar (1, 2 o 3)."),
                                       QStringLiteral("N"));
    const QCommandLineOption screenshotOption(
        QStringLiteral("screenshot"), QStringLiteral("Ejecuta el GUION, guarda la ventana como PNG y termina."),
        QStringLiteral("FILE"));
    const QCommandLineOption printOption(
        QStringLiteral("print-preview"),
        QStringLiteral("Ejecuta el GUION y guarda en PDF (FILE.pdf) los documentos que imprimió, o como PNG la "
                       "primera página del último."),
        QStringLiteral("FILE"));
    args.addOptions({dbOption, userOption, orderOption, folioOption, tabOption, screenshotOption, printOption});
    args.addPositionalArgument(QStringLiteral("GUION"), QStringLiteral("Guion de vn003-script (con --screenshot)."),
                               QStringLiteral("[GUION]"));
    args.process(app);

    Options o;
    o.database = args.value(dbOption);
    o.user = args.value(userOption).trimmed().toUpper();
    if (args.isSet(orderOption))
        o.order = args.value(orderOption).trimmed();
    if (args.isSet(folioOption))
        o.folio = args.value(folioOption).trimmed();
    if (args.isSet(tabOption))
        o.tab = args.value(tabOption).toInt() - 1;
    o.screenshot = args.value(screenshotOption);
    o.printPreview = args.value(printOption);
    o.pictures = args.isSet(screenshotOption) || args.isSet(printOption);
    if (args.positionalArguments().size() > (o.pictures ? 1 : 0))
        args.showHelp(2);
    o.script = args.positionalArguments().value(0);
    return o;
}

// Without --db the company lives in the user's data folder, not wherever tesmira was started.
QString databasePath(const QString& given)
{
    if (!given.isEmpty())
        return given;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return folder + QStringLiteral("/tesmira.db");
}

// The host loads the component, shows its screen and runs until the user closes it.
int runDesktop(db::Connection& conn, const QString& path, const Options& options, bool created)
{
    ui::QtDialogos dialogos;
    host::Entorno entorno{conn, dialogos, options.user.toStdString(), std::nullopt, outputFolder(path).toStdString()};

    int rc = 0;
    {
        vn003::IniciaComponente(entorno);
        vn003::Pantalla pantalla;
        vn003::frmVN003* screen = pantalla.GetPantalla();
        if (!screen)
            return fail(QStringLiteral("No se pudo crear la pantalla VN003"));
        host::PadreShell padre(entorno);
        if (options.order)
            padre.setIParametros(options.order->toStdString());
        screen->setPadre(&padre);

        ui::MainWindow window(*screen, entorno);
        dialogos.setParent(&window);
        padre.alDescargar = [&window] { QMetaObject::invokeMethod(&window, &QWidget::close, Qt::QueuedConnection); };
        if (!window.load())
            return 1;
        window.show();
        window.activate();
        if (created)
            window.statusBar()->showMessage(createdNotice(path));
        if (options.folio)
            window.showDocument(options.folio->toStdString());
        if (options.tab)
            window.showTab(*options.tab);
        rc = QApplication::exec();
        dialogos.setParent(nullptr);
    }
    vn003::DescargaComponente();
    return rc;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tesmira"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tesmira"));
    ui::installSpanish(app);

    const Options options = parseOptions(app);
    const QString path = databasePath(options.database);
    const bool created = isNewFile(path);
    std::unique_ptr<db::Connection> conn;
    try {
        conn = openDatabase(path);
    } catch (const std::exception& e) {
        // A connection string may hold a password: the engine's message names a server database.
        const QString text = isServer(path) ? QString::fromStdString(e.what())
                                            : QStringLiteral("No se pudo abrir la base de datos %1:\n%2")
                                                  .arg(path, QString::fromStdString(e.what()));
        return options.pictures ? pictureError(text) : fail(text);
    }
    if (!options.pictures)
        return runDesktop(*conn, path, options, created);
    conn.reset();
    return takePictures(path, {options.screenshot, options.printPreview, options.script,
                               options.folio.value_or(QString()), options.tab.value_or(-1),
                               created ? createdNotice(path) : QString()});
}
