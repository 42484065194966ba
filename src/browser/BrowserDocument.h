#pragma once

#include <QObject>
#include <QString>

// The document of one browser window. It holds no data of its own; its title
// is the page title, which the browser window and the window tab show.
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

Q_SIGNALS:
    void titleChanged(const QString &title);

private:
    QString m_title;
};
