#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

// The document of one browser window. It holds no data of its own; its title
// is the page title and its icon the page's icon, which the browser window
// and the window tab show.
class BrowserDocument : public QObject
{
    Q_OBJECT
public:
    explicit BrowserDocument(QObject *parent = nullptr) : QObject(parent) {}

    QString title() const { return m_title; }
    void setTitle(const QString &title)
    {
        if (title == m_title)
            return;
        m_title = title;
        Q_EMIT titleChanged(m_title);
    }

    // Null while the page has none.
    QIcon icon() const { return m_icon; }
    void setIcon(const QIcon &icon)
    {
        if (icon.cacheKey() == m_icon.cacheKey() || (icon.isNull() && m_icon.isNull()))
            return;
        m_icon = icon;
        Q_EMIT iconChanged(m_icon);
    }

Q_SIGNALS:
    void titleChanged(const QString &title);
    void iconChanged(const QIcon &icon);

private:
    QString m_title;
    QIcon m_icon;
};
