#pragma once
// Long work in the window: a busy cursor at once and, once the work has lasted a moment, a
// dialog "Cargando renglón n de N" that repaints, with Cancel while stopping is safe (a load;
// never inside a transaction). The window is updated at most every 50 ms, so the work hardly
// waits for it.
#include "host/services/Progreso.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QProgressDialog;
class QWidget;

namespace tesmira::db {
class Connection;
}

namespace tesmira::ui {

class WorkProgress final : public host::Progreso {
public:
    WorkProgress(QWidget* window, const db::Connection& connection);
    ~WorkProgress() override;

    bool Avance(size_t hechos, size_t total) override;
    bool Detenido() const override { return m_stopped; }
    // A save's rows, shown the same way and never with Cancel.
    void saving(int done, int total);
    // The user's action ended: the dialog and the busy cursor go and a stop is forgotten.
    // Answers whether the clerk stopped the work.
    bool finish();
    // How long work runs before the dialog shows, and the least time between two updates.
    void setTiming(int showAfterMs, int updateEveryMs);

private:
    void step(size_t done, size_t total, bool stoppable, const QString& what);
    void open(bool stoppable);

    QWidget* m_window;
    const db::Connection& m_connection;
    QPointer<QProgressDialog> m_dialog;
    QElapsedTimer m_started;
    QElapsedTimer m_updated;
    int m_showAfter = 400;
    int m_every = 50;
    bool m_stoppable = false;
    bool m_stopped = false;
};

} // namespace tesmira::ui
