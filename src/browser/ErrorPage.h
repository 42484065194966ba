#pragma once

#include <QString>
#include <QStyle>
#include <QWidget>

class QLabel;
class QPushButton;

// A page of ours in the place of the engine's: the certificate error that
// stopped a site (with "Go on to <host> (unsafe)" when the site allows it,
// and Go Back), a page whose process stopped (with Reload), or a page
// offline mode kept from the network (with Reload). The view
// shows it in place of its page until the next navigation starts.
class ErrorPage : public QWidget
{
    Q_OBJECT
public:
    enum class Kind { CertificateError, PageStopped, Offline };

    explicit ErrorPage(QWidget *parent = nullptr);

    void showCertificateError(const QString &url, const QString &host, const QString &problem,
                              bool overridable);
    void showPageStopped(const QString &url, const QString &text);
    // Offline mode kept the page from the network.
    void showOffline(const QString &url);

    Kind kind() const { return m_kind; }
    // The address the page stands for.
    QString url() const { return m_url; }
    QString title() const;
    QString text() const;
    QPushButton *goOnButton() const { return m_goOn; }
    QPushButton *goBackButton() const { return m_goBack; }
    QPushButton *reloadButton() const { return m_reload; }

Q_SIGNALS:
    void goOnRequested();
    void goBackRequested();
    void reloadRequested();

private:
    void setContent(const QString &title, const QString &text, const QString &detail, QStyle::StandardPixmap icon);

    Kind m_kind = Kind::PageStopped;
    QString m_url;
    QLabel *m_icon = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_text = nullptr;
    QLabel *m_detail = nullptr;
    QPushButton *m_goOn = nullptr;
    QPushButton *m_goBack = nullptr;
    QPushButton *m_reload = nullptr;
};
