#include "ui/WorkProgress.h"

#include "db/Connection.h"

#include <QApplication>
#include <QProgressDialog>

#include <algorithm>
#include <climits>

namespace tesmira::ui {

WorkProgress::WorkProgress(QWidget* window, const db::Connection& connection)
    : m_window(window)
    , m_connection(connection)
{
}

WorkProgress::~WorkProgress() { finish(); }

void WorkProgress::setTiming(int showAfterMs, int updateEveryMs)
{
    m_showAfter = showAfterMs;
    m_every = updateEveryMs;
}

bool WorkProgress::Avance(size_t hechos, size_t total)
{
    if (m_stopped)
        return false;
    step(hechos, total, !m_connection.inTransaction(), QStringLiteral("Cargando"));
    return !m_stopped;
}

void WorkProgress::saving(int done, int total)
{
    step(static_cast<size_t>(std::max(done, 0)), static_cast<size_t>(std::max(total, 0)), false,
         QStringLiteral("Guardando"));
}

void WorkProgress::step(size_t done, size_t total, bool stoppable, const QString& what)
{
    const bool first = !m_started.isValid();
    if (first) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_started.start();
        m_updated.start();
    } else if (m_updated.elapsed() < m_every) {
        return;
    }
    m_updated.restart();
    const bool showing = m_dialog && m_dialog->isVisible();
    if (!showing && m_started.elapsed() >= m_showAfter)
        open(stoppable);
    m_stoppable = stoppable;
    if (m_dialog && m_dialog->isVisible() && !m_stopped) {
        const int max = static_cast<int>(std::min<size_t>(total, INT_MAX));
        if (m_dialog->maximum() != max)
            m_dialog->setMaximum(max);
        m_dialog->setLabelText(QStringLiteral("%1 renglón %2 de %3").arg(what).arg(done).arg(total));
        m_dialog->setValue(static_cast<int>(std::min<size_t>(done, INT_MAX)));
    }
    // The shown dialog is modal: the clerk's keys and clicks reach only its Cancel. Before it
    // shows, they wait for the work to end.
    const bool dialogUp = m_dialog && m_dialog->isVisible();
    QCoreApplication::processEvents(dialogUp && stoppable ? QEventLoop::AllEvents
                                                          : QEventLoop::ExcludeUserInputEvents);
}

// One dialog serves every piece of work of the window; a save's dialog that Esc closed comes
// back, since its work goes on.
void WorkProgress::open(bool stoppable)
{
    if (!m_dialog) {
        m_dialog = new QProgressDialog(m_window);
        m_dialog->setObjectName(QStringLiteral("progreso"));
        m_dialog->setWindowTitle(QStringLiteral("Procesando"));
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        QObject::connect(m_dialog, &QProgressDialog::canceled, m_dialog, [this] {
            if (m_stoppable)
                m_stopped = true;
        });
    }
    if (stoppable)
        m_dialog->setCancelButtonText(QProgressDialog::tr("Cancel"));
    else
        m_dialog->setCancelButton(nullptr);
    m_dialog->show();
}

bool WorkProgress::finish()
{
    const bool stopped = m_stopped;
    m_stopped = false;
    if (m_dialog && m_dialog->isVisible()) {
        m_dialog->hide();
        m_dialog->reset();
        // The keyboard goes back to the window (not every platform hands it back by itself).
        if (m_window->isVisible())
            m_window->activateWindow();
    }
    if (m_started.isValid()) {
        m_started.invalidate();
        QApplication::restoreOverrideCursor();
    }
    return stopped;
}

} // namespace tesmira::ui
