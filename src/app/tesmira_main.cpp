// The host shell on the desktop: opens the company database (the demo company on first run),
// signs the user in, loads the delivery-note component and shows its screen.
#include "base/Error.h"
#include "db/Connection.h"
#include "db/DatabaseName.h"
#include "db/Schema.h"
#include "host/services/Entorno.h"
#include "host/services/PadreShell.h"
#include "ui/MainWindow.h"
#include "ui/QtDialogos.h"
#include "vn003/Pantalla.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

#include <memory>

using namespace tesmira;

namespace {

int fail(const QString& text)
{
    QMessageBox::critical(nullptr, QStringLiteral("Tesmira"), text);
    return 1;
}

bool isServer(const QString& name) { return db::databaseKind(name.toStdString()) == db::DatabaseKind::PostgresServer; }

// A new file gets the schema and the demo company; a failed demo load leaves no half-made file.
// A server database is made with tesmira-db init.
std::unique_ptr<db::Connection> openDatabase(const QString& path)
{
    const bool fresh = !isServer(path) && !QFileInfo::exists(path);
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

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tesmira"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tesmira"));

    QCommandLineParser args;
    args.setApplicationDescription(QStringLiteral("Tesmira: Remisión de pedidos"));
    args.addHelpOption();
    const QCommandLineOption dbOption(QStringLiteral("db"), QStringLiteral("Archivo de la base de datos, o postgresql://… de un servidor."),
                                      QStringLiteral("FILE"));
    const QCommandLineOption userOption(QStringLiteral("user"), QStringLiteral("Usuario (ADMIN)."),
                                        QStringLiteral("CODE"), QStringLiteral("ADMIN"));
    const QCommandLineOption orderOption(QStringLiteral("order"), QStringLiteral("Abre la remisión de un pedido."),
                                         QStringLiteral("FOLIO"));
    args.addOptions({dbOption, userOption, orderOption});
    args.process(app);

    QString path = args.value(dbOption);
    if (path.isEmpty()) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QDir().mkpath(folder);
        path = folder + QStringLiteral("/tesmira.db");
    }

    std::unique_ptr<db::Connection> conn;
    try {
        conn = openDatabase(path);
    } catch (const std::exception& e) {
        // A connection string may hold a password: the engine's message names the database instead.
        return fail(isServer(path) ? QString::fromStdString(e.what())
                                   : QStringLiteral("No se pudo abrir la base de datos %1:\n%2").arg(path, QString::fromStdString(e.what())));
    }

    ui::QtDialogos dialogos;
    const QString output = (isServer(path) ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                                           : QFileInfo(path).absolutePath())
        + QStringLiteral("/salida");
    QDir().mkpath(output);
    host::Entorno entorno{*conn, dialogos, args.value(userOption).trimmed().toUpper().toStdString(), std::nullopt,
                          output.toStdString()};

    int rc = 0;
    {
        vn003::IniciaComponente(entorno);
        vn003::Pantalla pantalla;
        vn003::frmVN003* screen = pantalla.GetPantalla();
        if (!screen)
            return fail(QStringLiteral("No se pudo crear la pantalla VN003"));
        host::PadreShell padre(entorno);
        if (args.isSet(orderOption))
            padre.setIParametros(args.value(orderOption).trimmed().toStdString());
        screen->setPadre(&padre);

        ui::MainWindow window(*screen, entorno);
        dialogos.setParent(&window);
        padre.alDescargar = [&window] { QMetaObject::invokeMethod(&window, &QWidget::close, Qt::QueuedConnection); };
        if (!window.load())
            return 1;
        window.show();
        window.activate();
        rc = QApplication::exec();
        dialogos.setParent(nullptr);
    }
    vn003::DescargaComponente();
    return rc;
}
