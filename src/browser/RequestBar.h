#pragma once

#include <QFrame>
#include <QString>

class QLabel;
class QPushButton;

// A question of a page in a window the user is not looking at, asked in a
// bar above the page rather than in a dialog that would stop everything:
// its text and two buttons (Allow / Deny, Log In... / Cancel). The bar goes
// once answered.
class RequestBar : public QFrame
{
    Q_OBJECT
public:
    RequestBar(const QString &text, const QString &acceptText, const QString &rejectText,
               QWidget *parent = nullptr);

    QString text() const;
    QPushButton *acceptButton() const { return m_accept; }
    QPushButton *rejectButton() const { return m_reject; }

Q_SIGNALS:
    void answered(bool accepted);

private:
    QLabel *m_text = nullptr;
    QPushButton *m_accept = nullptr;
    QPushButton *m_reject = nullptr;
};
