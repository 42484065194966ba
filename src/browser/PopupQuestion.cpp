#include "browser/PopupQuestion.h"

#include "browser/BrowserView.h"
#include "core/PopupDecision.h"
#include "ui/MessageBox.h"

#include <QApplication>

#include <algorithm>

PopupQuestion::PopupQuestion(QWidget *dialogParent)
    : QObject(qApp), m_dialogParent(dialogParent)
{
    m_due.setSingleShot(true);
    connect(&m_due, &QTimer::timeout, this, &PopupQuestion::onDue);
}

PopupQuestion::~PopupQuestion() = default;

bool PopupQuestion::open() const
{
    switch (m_state) {
    case State::Gathering:
    case State::Asking:
        return true;
    case State::Answered:
        // A page that goes on opening windows after a Yes is asked again.
        return !m_allowed || m_sinceAnswer.elapsed() < corvane::kPopupBurstLimitMs;
    case State::Over:
        break;
    }
    return false;
}

int PopupQuestion::count() const
{
    return int(std::count_if(m_popups.begin(), m_popups.end(),
                             [](const QPointer<BrowserView> &p) { return !p.isNull(); }));
}

void PopupQuestion::add(BrowserView *popup, const QString &lowerAddress)
{
    if (m_popups.isEmpty()) {
        m_firstAddress = lowerAddress;
        m_sinceFirst.start();
    }
    m_popups.append(popup);
    switch (m_state) {
    case State::Gathering: {
        // Wait for the rest of the burst, but not for ever.
        const qint64 left = corvane::kPopupBurstLimitMs - m_sinceFirst.elapsed();
        m_due.start(int(std::clamp<qint64>(left, 0, corvane::kPopupBurstQuietMs)));
        break;
    }
    case State::Asking:
        break;
    case State::Answered: {
        // Late in the burst: the answer given. The popup's refused
        // navigation is recorded once its start is over.
        const QPointer<BrowserView> late(popup);
        const bool allowed = m_allowed;
        QMetaObject::invokeMethod(
            this, [late, allowed] { if (late) late->answerPopup(allowed); }, Qt::QueuedConnection);
        m_due.start(corvane::kPopupBurstQuietMs);
        break;
    }
    case State::Over:
        break;
    }
}

void PopupQuestion::onDue()
{
    if (m_state == State::Gathering) {
        ask();
    } else if (m_state == State::Answered) {
        // The burst is over.
        m_state = State::Over;
        deleteLater();
    }
}

void PopupQuestion::ask()
{
    m_state = State::Asking;
    const QPointer<PopupQuestion> self(this);
    QMessageBox::StandardButton answer = QMessageBox::No;
    const int waiting = count();
    // Without the main window the program is ending: nothing is shown.
    if (waiting > 0 && m_dialogParent) {
        answer = corvaneMessageBox(
            m_dialogParent, QMessageBox::Warning, QString::fromLatin1(corvane::kNewWindowQuestionTitle),
            QString::fromStdString(corvane::newWindowsQuestion(m_firstAddress.toStdString(), waiting)),
            QMessageBox::Yes | QMessageBox::No);
    }
    if (!self)
        return;
    m_state = State::Answered;
    m_allowed = answer == QMessageBox::Yes;
    m_sinceAnswer.start();
    Q_EMIT answered(m_allowed);
    if (!self)
        return;
    // Windows that came while the question was up share its answer.
    const QList<QPointer<BrowserView>> popups = m_popups;
    for (const QPointer<BrowserView> &popup : popups)
        if (popup)
            popup->answerPopup(m_allowed);
    m_due.start(corvane::kPopupBurstQuietMs);
}
