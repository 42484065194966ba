#include "ui/AboutBox.h"

#include "core/AboutBox.h"
#include "core/Strings.h"
#include "ui/Resources.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <QtWebEngineCore/qtwebenginecoreglobal.h>

namespace {

// The box's page hands every navigation to the box.
class AboutPage : public QWebEnginePage
{
public:
    AboutPage(AboutBox *box, QObject *parent)
        : QWebEnginePage(QWebEngineProfile::defaultProfile(), parent), m_box(box)
    {
    }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType, bool) override
    {
        return !m_box || m_box->acceptNavigation(url.toString());
    }
    // A link that asks for a window of its own is a link all the same.
    QWebEnginePage *createWindow(WebWindowType) override
    {
        auto *page = new QWebEnginePage(profile(), this);
        connect(page, &QWebEnginePage::urlChanged, this, [this, page](const QUrl &url) {
            if (m_box && !url.isEmpty())
                m_box->acceptNavigation(url.toString());
            page->deleteLater();
        });
        return page;
    }

private:
    QPointer<AboutBox> m_box;
};

QString jsString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    // "[...]" without the brackets: one quoted string.
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

} // namespace

AboutBox::AboutBox(OpenAddress openAddress, QWidget *parent)
    : QDialog(parent), m_openAddress(std::move(openAddress))
{
    initProgramResources();
    setWindowTitle(QStringLiteral("About Corvane"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new QWebEngineView(this);
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    auto *page = new AboutPage(this, m_view);
    // The box's own page: the user's switches for web pages do not reach it.
    page->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
    page->settings()->setAttribute(QWebEngineSettings::AutoLoadImages, true);

    QWebEngineScript engine;
    engine.setName(QStringLiteral("corvane-about-engine"));
    engine.setInjectionPoint(QWebEngineScript::DocumentReady);
    engine.setWorldId(QWebEngineScript::ApplicationWorld);
    engine.setSourceCode(QStringLiteral("(function () {"
                                        "  var e = document.getElementById('engine');"
                                        "  if (e) e.textContent = %1;"
                                        "  var a = document.getElementById('engine-age');"
                                        "  if (a) a.textContent = %2;"
                                        "})();")
                             .arg(jsString(engineText()), jsString(engineAgeText())));
    page->scripts().insert(engine);
    m_view->setPage(page);
    layout->addWidget(m_view);
    resize(440, 190);
    page->load(QUrl(QString::fromLatin1(corvane::kAboutPage)));
}

AboutBox::~AboutBox()
{
    // The page's requests end with the box.
    if (m_view && m_view->page())
        m_view->page()->triggerAction(QWebEnginePage::Stop);
}

bool AboutBox::acceptNavigation(const QString &address)
{
    const corvane::AboutBoxLink link = corvane::aboutBoxLink(address.toStdString());
    switch (link.action) {
    case corvane::AboutBoxLink::Action::StayInBox:
        return true;
    case corvane::AboutBoxLink::Action::OpenAndClose:
        if (m_openAddress)
            m_openAddress(QString::fromStdString(link.address));
        break;
    case corvane::AboutBoxLink::Action::Close:
        break;
    }
    // Posted: the box closes once the page's event is over.
    QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
    return false;
}

QString AboutBox::engineText()
{
    return QString::fromStdString(corvane::engineVersionText(
        qWebEngineVersion(), qWebEngineChromiumVersion(), qWebEngineChromiumSecurityPatchVersion()));
}

QString AboutBox::engineAgeText()
{
    const QDate today = QDate::currentDate();
    return QString::fromStdString(corvane::engineAgeWarning(
        qWebEngineChromiumSecurityPatchVersion(), corvane::CivilDate{today.year(), today.month(), today.day()}));
}
