#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <utility>
#include <vector>

class QWebEnginePage;
class ToolsPage;

// Cuts one page off the network the engine's own way, below its cache: what
// the cache holds for the page still shows (fresh by address, anything kept
// by Back and Forward), and every other request of the page fails as
// "disconnected" without reaching the network.
//
// The engine offers this only to its developer tools: a hidden tools page is
// attached to the page, its own scripts are kept from loading (it shows and
// fetches nothing), and the network-conditions command goes to the page's
// tools session once the tools document is up. The cut holds from the
// session's answer on and ends with the tools page.
//
// Until then, and should the engine not answer, the page's owner keeps every
// network request of the page blocked itself.
class NetworkCutoff : public QObject
{
    Q_OBJECT
public:
    // Starts the cut for page; parent owns it.
    NetworkCutoff(QWebEnginePage *page, QObject *parent);
    // Ends the cut: the page reaches the network again.
    ~NetworkCutoff() override;

    enum class State { Starting, Holds, Failed };
    State state() const { return m_state; }
    bool holds() const { return m_state == State::Holds; }

    // Runs f once the cut holds or has failed (at once if either is so).
    void whenSettled(std::function<void()> f);
    // Hands over what waits (going online before the cut held).
    std::vector<std::function<void()>> takeWaiting() { return std::exchange(m_waiting, {}); }

    // How long the engine has to answer before the cut counts as failed.
    static constexpr int kAnswerTimeoutMs = 5000;

Q_SIGNALS:
    void settled(bool holds);

private:
    void onToolsLoaded(bool ok);
    void sendCut();
    void settle(State state);

    QPointer<QWebEnginePage> m_page;
    ToolsPage *m_tools = nullptr;
    QTimer m_timeout;
    QTimer m_resend;
    State m_state = State::Starting;
    std::vector<std::function<void()>> m_waiting;
};
