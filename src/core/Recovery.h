#pragma once

#include "core/Workspace.h"

#include <optional>
#include <string>

// Crash recovery: while AutoSave is on, the open windows are kept in a file
// of their own (the workspace text, never under the name "default" and
// never in the stored workspace list), rewritten as they change and removed
// when the program ends cleanly. A file found at start-up therefore comes
// from a run that did not end cleanly (a crash, a kill, a power loss), and
// the user is asked whether to open its windows again.
//
// Several copies of the program may run at once; only the one holding the
// file's lock keeps it. The lock goes with the process, however it ends.

namespace corvane {

// The file under the user's data folder ($XDG_DATA_HOME).
std::string recoveryFilePath(const std::string &dataHome);

// The name the snapshot's workspace record carries.
inline constexpr const char *kRecoveryWorkspaceName = "recovery";

// The question after a run that did not end cleanly (Yes / No).
inline constexpr const char *kRecoveryQuestionTitle = "Restore windows";
inline constexpr const char *kRecoveryQuestionText =
    "Corvane did not close normally the last time it ran.\n"
    "Would you like to open again the windows that were open then?";

// The snapshot's windows; nothing when the text holds none to open (an
// empty or damaged file, a workspace without windows).
std::optional<Workspace> parseRecoverySnapshot(std::string_view text);

class RecoveryFile
{
public:
    explicit RecoveryFile(std::string path);
    ~RecoveryFile();
    RecoveryFile(const RecoveryFile &) = delete;
    RecoveryFile &operator=(const RecoveryFile &) = delete;

    const std::string &path() const { return m_path; }

    // Takes the lock (a file beside the snapshot), creating the folder.
    // False when another running program holds it: this one then neither
    // reads nor writes the snapshot.
    bool lock();
    bool locked() const { return m_lockFd >= 0; }

    // The snapshot a run that did not end cleanly left (only while locked).
    std::optional<Workspace> leftOver() const;
    // Writes the text atomically and durably (private to the user); false
    // on failure or while not locked.
    bool write(const std::string &text);
    // Removes the snapshot (only while locked).
    void remove();

private:
    std::string m_path;
    int m_lockFd = -1;
};

} // namespace corvane
