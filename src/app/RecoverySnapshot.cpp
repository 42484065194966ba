#include "app/RecoverySnapshot.h"

#include "core/SettingsStore.h"
#include "mainframe/MainWindow.h"

#include <QFile>

RecoverySnapshot::RecoverySnapshot(const QString &path, SettingsStore &settings, QObject *parent)
    : QObject(parent), m_file(QFile::encodeName(path).toStdString()), m_settings(settings)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &RecoverySnapshot::writeNow);
    if (m_file.lock())
        m_leftOver = m_file.leftOver();
}

RecoverySnapshot::~RecoverySnapshot() = default;

void RecoverySnapshot::acceptLeftOver()
{
    // The file on disk is the left-over record until the first write
    // replaces it (atomically); the windows about to open arm that write.
    m_leftOver.reset();
    m_written.clear();
    noteChange();
}

void RecoverySnapshot::discardLeftOver()
{
    m_leftOver.reset();
    removeFile();
}

void RecoverySnapshot::keepLeftOver()
{
    m_leftOver.reset();
    m_finished = true;
    m_keepFile = true;
    m_timer.stop();
}

void RecoverySnapshot::watch(MainWindow *window)
{
    m_window = window;
    if (window)
        connect(window, &MainWindow::windowsChanged, this, &RecoverySnapshot::noteChange);
}

void RecoverySnapshot::noteChange()
{
    // The first change arms the timer; those that follow before it runs
    // out are part of the same write. While the left-over windows wait for
    // an answer, nothing is written (the timer is armed by the answer).
    if (!m_finished && keeping() && m_window && !m_leftOver && !m_timer.isActive())
        m_timer.start();
}

void RecoverySnapshot::writeNow()
{
    m_timer.stop();
    if (m_finished || !keeping() || !m_window || m_leftOver)
        return;
    if (!m_settings.autoSave()) {
        removeFile();
        return;
    }
    const corvane::Workspace windows = m_window->captureWorkspace(corvane::kRecoveryWorkspaceName, 0);
    if (windows.windowMap().empty()) {
        removeFile();
        return;
    }
    std::string text = windows.text();
    if (text == m_written)
        return;
    if (m_file.write(text)) {
        m_written = std::move(text);
        ++m_writes;
    }
}

void RecoverySnapshot::finish()
{
    m_finished = true;
    m_timer.stop();
    if (!m_keepFile)
        removeFile();
}

void RecoverySnapshot::removeFile()
{
    m_file.remove();
    m_written.clear();
}
