#include "support/TempHome.h"

#include <QDir>
#include <QFile>

namespace {
const char *const kVariables[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
                                  "XDG_RUNTIME_DIR"};
}

TempHome::TempHome()
{
    for (const char *name : kVariables)
        m_saved.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
    if (!m_dir.isValid())
        return;

    for (const QString &dir : {configHome(), dataHome(), cacheHome(), runtimeDir()})
        QDir().mkpath(dir);
    QFile::setPermissions(runtimeDir(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    qputenv("HOME", QFile::encodeName(home()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome()));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome()));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir()));
}

TempHome::~TempHome()
{
    for (const Saved &s : m_saved) {
        if (s.wasSet)
            qputenv(s.name.constData(), s.value);
        else
            qunsetenv(s.name.constData());
    }
}

QString TempHome::home() const
{
    return m_dir.path() + QStringLiteral("/home");
}

QString TempHome::configHome() const
{
    return home() + QStringLiteral("/.config");
}

QString TempHome::dataHome() const
{
    return home() + QStringLiteral("/.local/share");
}

QString TempHome::cacheHome() const
{
    return home() + QStringLiteral("/.cache");
}

QString TempHome::runtimeDir() const
{
    return m_dir.path() + QStringLiteral("/runtime");
}

QString TempHome::filePath(const QString &relative) const
{
    return home() + QLatin1Char('/') + relative;
}

QString TempHome::logPath() const
{
    return filePath(QStringLiteral("nav.log"));
}

QString TempHome::logText() const
{
    QFile file(logPath());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList TempHome::logLines() const
{
    QStringList lines = logText().split(QStringLiteral("\r\n"));
    lines.removeLast(); // after the last CR LF
    for (QString &line : lines)
        line = line.mid(22); // "[MM/DD/YYYY-HH:MM:SS] "
    return lines;
}
