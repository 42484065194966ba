#include "engine/NetworkCutoff.h"

#include <QUuid>
#include <QWebEnginePage>
#include <QWebEngineUrlRequestInterceptor>

namespace {

const QLatin1String kToolsDocument("devtools://devtools/bundled/inspector.html");

// The tools page loads its document and nothing else: the tools' own
// scripts would enable the debugger, the network log and the rest on the
// page, and the page needs none of it.
class ToolsRequests : public QWebEngineUrlRequestInterceptor
{
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        if (info.requestUrl().toString() != kToolsDocument)
            info.block(true);
    }
};

// Sends the command to the tools session and says by a console line of
// the marker how the session answered it. The session is attached once the
// tools document is up, so the command may go out before there is one to
// take it: it is sent again until an answer comes.
QString cutScript(const QString &marker)
{
    return QStringLiteral(R"((function() {
    if (typeof DevToolsHost !== 'object' || typeof DevToolsAPI !== 'object')
        return false;
    const marker = '%1';
    DevToolsAPI.dispatchMessage = function(message) {
        let answer;
        try { answer = JSON.parse(message); } catch (e) { return; }
        if (answer && answer.id === 1)
            console.log(marker + (answer.error ? 'failed' : 'holds'));
    };
    const command = { id: 1, method: 'Network.emulateNetworkConditions',
                      params: { offline: true, latency: 0, downloadThroughput: -1, uploadThroughput: -1 } };
    DevToolsHost.sendMessageToEmbedder(JSON.stringify(
        { id: 0, method: 'dispatchProtocolMessage', params: [JSON.stringify(command)] }));
    return true;
})())")
        .arg(marker);
}

} // namespace

class ToolsPage : public QWebEnginePage
{
public:
    ToolsPage(QWebEngineProfile *profile, QObject *parent)
        : QWebEnginePage(profile, parent),
          marker(QStringLiteral("corvane-cutoff:%1:").arg(QUuid::createUuid().toString(QUuid::WithoutBraces)))
    {
    }
    const QString marker;
    std::function<void(bool)> answered;

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &message, int,
                                  const QString &) override
    {
        if (message.startsWith(marker) && answered)
            answered(message.mid(marker.size()) == QLatin1String("holds"));
    }
};

NetworkCutoff::NetworkCutoff(QWebEnginePage *page, QObject *parent) : QObject(parent), m_page(page)
{
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this, [this] { settle(State::Failed); });
    m_timeout.start(kAnswerTimeoutMs);
    m_resend.setInterval(100);
    connect(&m_resend, &QTimer::timeout, this, &NetworkCutoff::sendCut);
    if (!page) {
        settle(State::Failed);
        return;
    }
    m_tools = new ToolsPage(page->profile(), this);
    m_tools->setUrlRequestInterceptor(new ToolsRequests(m_tools));
    m_tools->answered = [this](bool holds) { settle(holds ? State::Holds : State::Failed); };
    connect(m_tools, &QWebEnginePage::loadFinished, this, &NetworkCutoff::onToolsLoaded);
    page->setDevToolsPage(m_tools);
}

NetworkCutoff::~NetworkCutoff()
{
    m_waiting.clear();
    if (m_page && m_page->devToolsPage() == m_tools)
        m_page->setDevToolsPage(nullptr);
    delete m_tools;
}

void NetworkCutoff::whenSettled(std::function<void()> f)
{
    if (!f)
        return;
    if (m_state != State::Starting)
        f();
    else
        m_waiting.push_back(std::move(f));
}

void NetworkCutoff::onToolsLoaded(bool)
{
    // The tools' own scripts never load, so the document counts as failed;
    // it is there all the same.
    if (m_state != State::Starting || !m_tools)
        return;
    sendCut();
    m_resend.start();
}

void NetworkCutoff::sendCut()
{
    if (m_state != State::Starting || !m_tools)
        return;
    const QPointer<NetworkCutoff> self(this);
    m_tools->runJavaScript(cutScript(m_tools->marker), [self](const QVariant &sent) {
        if (self && !sent.toBool())
            self->settle(State::Failed);
    });
}

void NetworkCutoff::settle(State state)
{
    if (m_state != State::Starting)
        return;
    m_state = state;
    m_timeout.stop();
    m_resend.stop();
    const std::vector<std::function<void()>> waiting = std::exchange(m_waiting, {});
    Q_EMIT settled(state == State::Holds);
    for (const auto &f : waiting)
        f();
}
