#pragma once

#include "core/Recovery.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <optional>
#include <string>

class MainWindow;
class SettingsStore;

// The record of the open windows kept for crash recovery while AutoSave is
// on (core's RecoveryFile holds the file's rules). A change of the windows
// (one opened, closed or made active, a page navigated or scrolled, a
// split, AutoRefresh, a window moved) arms one timer; when it runs out the
// windows are captured and written if they differ from what was written
// last. Nothing runs while nothing changes. A clean end removes the file.
//
// The windows a run that did not end cleanly left stay on disk until the
// user has answered about them, and nothing is written meanwhile: the
// windows open then are not the user's yet. Taken back (Yes), the record is
// replaced by the restored windows' own, never removed before it: a crash
// right after the answer finds them again at the next start.
class RecoverySnapshot : public QObject
{
    Q_OBJECT
public:
    // The longest a change waits before it is on disk.
    static constexpr int kDelayMs = 1500;

    RecoverySnapshot(const QString &path, SettingsStore &settings, QObject *parent = nullptr);
    ~RecoverySnapshot() override;

    // Whether this program keeps the file: false while another running
    // Corvane does (then nothing here reads or writes it).
    bool keeping() const { return m_file.locked(); }
    // The windows a run that did not end cleanly left; read once, at start.
    const std::optional<corvane::Workspace> &leftOver() const { return m_leftOver; }
    // Whether they wait for the user's answer (nothing is written then).
    bool leftOverPending() const { return m_leftOver.has_value(); }
    // The user wants them back: the record stays on disk until the windows
    // restored from it have written their own over it.
    void acceptLeftOver();
    // The user does not want them: the file goes.
    void discardLeftOver();
    // The question about them went unanswered (the program is ending): the
    // file stays as it is for the next start, and nothing is written to it.
    void keepLeftOver();

    // From here on the main window's changes are followed.
    void watch(MainWindow *window);
    void noteChange();
    bool changePending() const { return m_timer.isActive(); }
    // Captures and writes now (or removes the file when AutoSave is off or
    // no window is open).
    void writeNow();
    // The program ends cleanly: the file goes and nothing is written again.
    void finish();

    QString path() const { return QString::fromStdString(m_file.path()); }
    // How many times the file was written (for tests).
    int writes() const { return m_writes; }

private:
    void removeFile();

    corvane::RecoveryFile m_file;
    SettingsStore &m_settings;
    QPointer<MainWindow> m_window;
    QTimer m_timer;
    std::optional<corvane::Workspace> m_leftOver;
    std::string m_written; // the text on disk; empty for none
    int m_writes = 0;
    bool m_finished = false;
    bool m_keepFile = false;
};
