#pragma once

#include <QWebEngineUrlSchemeHandler>

// The program's own pages ("corvane:start", "corvane:help"), served from its
// resources through a URL scheme of their own.
//
// The scheme must be known to the engine before the QApplication exists:
// main() calls registerOwnPageScheme() first thing. The web profile installs
// an OwnPages handler.
void registerOwnPageScheme();

class OwnPages : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    // The resource holding the page of that name ("start"), or an empty text.
    static QString resourceFor(const QString &page);

    void requestStarted(QWebEngineUrlRequestJob *job) override;
};
