// The desktop window (offscreen) over a generated order: how long loading, saving and recalling
// take with the window's progress (busy cursor, "n de N" dialog, Cancel) and without it (the
// silent progress the runner has), keyed in as a clerk keys them. The progress must cost the
// work no more than a few percent. Times are this process's CPU milliseconds, the median of
// alternate runs; wall-clock milliseconds beside them.
//   bench_window [--lines N] [--runs R]
#include "bench_support.h"

#include "app/runner/DialogosGuion.h"
#include "db/Connection.h"
#include "db/Schema.h"
#include "forms/Toolbar.h"
#include "host/services/CamposAdicionales.h"
#include "host/services/Entorno.h"
#include "host/services/PadreShell.h"
#include "ui/FormBinder.h"
#include "ui/MainWindow.h"
#include "vn003/Pantalla.h"
#include "vn003/Publico.h"
#include "vn003/frmVN003.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressDialog>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using tesmira::Date;
using tesmira::db::Connection;
using tesmira::forms::Command;
using tesmira::forms::ToolbarState;
using bench::cpuMs;
using bench::median;

double wallMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct Timing {
    double cpu = 0, wall = 0;
};

class Stopwatch {
public:
    Timing elapsed() const { return {cpuMs() - m_cpu, wallMs() - m_wall}; }

private:
    double m_cpu = cpuMs(), m_wall = wallMs();
};

struct Options {
    bool stockOnly = true;
    bool dispatch = false;
    bool progress = true;
};

// The screen in its window over a copy of the generated company; the screen's own messages
// answer as cancelled, the window's dialogs (the print preview) are closed as they open.
class Session : public bench::ScreenHost {
public:
    Session(const fs::path& file, const fs::path& outDir, Options options)
        : ScreenHost(file, outDir, options.stockOnly, options.dispatch)
    {
        m_window = std::make_unique<tesmira::ui::MainWindow>(form(), entorno());
        if (!options.progress) {
            entorno().progreso = nullptr;
            tesmira::vn003::Utilerias().eventosPendientes = nullptr;
        }
        m_window->load();
        m_window->show();
        m_window->activate();
        m_closer.setInterval(5);
        QObject::connect(&m_closer, &QTimer::timeout, [] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog && !qobject_cast<QProgressDialog*>(dialog))
                dialog->reject();
        });
        m_closer.start();
    }
    void command(const char* name)
    {
        auto* action = m_window->findChild<QAction*>(name);
        if (!action || !action->isEnabled())
            throw std::runtime_error(std::string(name) + " is not available");
        action->trigger();
    }
    // The clerk types the folio into the field and presses Enter.
    void enter(const char* field, const std::string& text)
    {
        auto* edit = m_window->findChild<QLineEdit*>(field);
        if (!edit)
            throw std::runtime_error(std::string("no field ") + field);
        edit->setFocus();
        edit->setText(QString::fromStdString(text));
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(edit, &press);
    }
    void loadOrder()
    {
        command("cmdNuevo");
        enter("txt_Pd_Folio", "BXP0001");
    }
    void dropUnpicked() { bench::dropUnpicked(form()); }
    // F12: the time until the note is stored and the screen cleared (the printing and its
    // preview come after).
    Timing save()
    {
        Stopwatch clock;
        Timing stored;
        m_window->binder().watch(form().Controles, [&] {
            if (stored.wall == 0 && form().Controles.state() == ToolbarState::Empty)
                stored = clock.elapsed();
        });
        command("cmdAceptar");
        if (stored.wall == 0 || m_window->camposAdicionales().ultimoFolioGrabado().empty())
            throw std::runtime_error("the note was not saved: " + shown());
        return stored;
    }
    std::string savedFolio() const { return m_window->camposAdicionales().ultimoFolioGrabado(); }
    void expectRows(const char* phase) const
    {
        if (form().ssDetalle.rowCount() == 0)
            throw std::runtime_error(std::string(phase) + ": the window loaded no line: " + shown());
    }
    // The first message the screen showed, if any.
    std::string shown() const
    {
        const auto& m = mensajes();
        return m.empty() ? std::string("no message") : m.front().id + " " + m.front().prompt;
    }

private:
    std::unique_ptr<tesmira::ui::MainWindow> m_window;
    QTimer m_closer;
};

struct Phase {
    const char* name;
    std::function<Timing(bool progress)> run;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int lines = 5000, runs = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--lines")
            lines = std::stoi(argv[i + 1]);
        else if (option == "--runs")
            runs = std::stoi(argv[i + 1]);
    }
    try {
        const bench::Templates company(fs::temp_directory_path() / ("tesmira_bench_window_" + std::to_string(::getpid())));
        company.file(lines);
        const auto loading = [&](Options options) {
            return [&company, lines, options](bool progress) {
                Options o = options;
                o.progress = progress;
                Session s(company.copy(lines), company.out(), o);
                Stopwatch clock;
                s.loadOrder();
                const Timing t = clock.elapsed();
                s.expectRows("load");
                return t;
            };
        };
        const std::vector<Phase> phases{
            {"ordinary load", loading({false, false, true})},
            {"stock-only load", loading({true, false, true})},
            {"order + handheld dispatch", loading({true, true, true})},
            {"save of the dispatched order (F12)",
             [&](bool progress) {
                 Session s(company.copy(lines), company.out(), {true, true, progress});
                 s.loadOrder();
                 s.dropUnpicked();
                 s.expectRows("save");
                 return s.save();
             }},
            {"recall of the saved note",
             [&](bool progress) {
                 Session s(company.copy(lines), company.out(), {true, true, progress});
                 s.loadOrder();
                 s.dropUnpicked();
                 s.save();
                 const std::string folio = s.savedFolio();
                 Stopwatch clock;
                 s.enter("txtFolio", folio);
                 const Timing t = clock.elapsed();
                 s.expectRows("recall");
                 return t;
             }},
        };
        std::printf("%d lines, median of %d runs each way\n", lines, runs);
        std::printf("%-36s %12s %12s %8s %12s %12s\n", "phase", "silent cpu", "window cpu", "cost", "silent wall",
                    "window wall");
        for (const Phase& p : phases) {
            std::vector<double> offCpu, onCpu, offWall, onWall;
            for (int i = 0; i < runs; ++i) {
                const Timing off = p.run(false);
                const Timing on = p.run(true);
                offCpu.push_back(off.cpu);
                onCpu.push_back(on.cpu);
                offWall.push_back(off.wall);
                onWall.push_back(on.wall);
            }
            const double off = median(offCpu), on = median(onCpu);
            std::printf("%-36s %12.1f %12.1f %7.1f%% %12.1f %12.1f\n", p.name, off, on, (on - off) / off * 100, median(offWall),
                        median(onWall));
            std::fflush(stdout);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_window: %s\n", e.what());
        return 1;
    }
    return 0;
}
