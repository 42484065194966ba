#include "engine/OwnPages.h"

#include "core/Strings.h"

#include <QFile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

void registerOwnPageScheme()
{
    QWebEngineUrlScheme scheme(corvane::kOwnPageScheme);
    // "corvane:start": a path, no host. Local like a file: web pages cannot
    // reach it, and the pages load nothing from the network themselves.
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

QString OwnPages::resourceFor(const QString &page)
{
    if (page == QLatin1String("start"))
        return QStringLiteral(":/pages/start.html");
    if (page == QLatin1String("help"))
        return QStringLiteral(":/pages/help.html");
    return QString();
}

void OwnPages::requestStarted(QWebEngineUrlRequestJob *job)
{
    const QString resource = resourceFor(job->requestUrl().path());
    auto *file = resource.isEmpty() ? nullptr : new QFile(resource, job);
    if (!file || !file->open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    job->reply(QByteArrayLiteral("text/html"), file);
}
