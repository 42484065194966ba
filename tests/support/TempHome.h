#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Points HOME and the XDG folders of this process at a fresh temporary
// folder for the fixture's lifetime, and puts the previous values back
// afterwards. Nothing a test does then reaches the real home folder.
//
//   <tmp>/home                HOME
//   <tmp>/home/.config        XDG_CONFIG_HOME
//   <tmp>/home/.local/share   XDG_DATA_HOME
//   <tmp>/home/.cache         XDG_CACHE_HOME
//   <tmp>/runtime             XDG_RUNTIME_DIR (mode 0700)
class TempHome
{
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome &) = delete;
    TempHome &operator=(const TempHome &) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString root() const { return m_dir.path(); }
    QString home() const;
    QString configHome() const;
    QString dataHome() const;
    QString cacheHome() const;
    QString runtimeDir() const;
    // A path below the home folder.
    QString filePath(const QString &relative) const;

    // The navigation log tests point LogFile at ("nav.log" in the home
    // folder): its path, its text, and its lines without their timestamps.
    QString logPath() const;
    QString logText() const;
    QStringList logLines() const;

private:
    QTemporaryDir m_dir;
    // Variable name, previous value, whether it was set.
    struct Saved
    {
        QByteArray name;
        QByteArray value;
        bool wasSet = false;
    };
    QList<Saved> m_saved;
};
