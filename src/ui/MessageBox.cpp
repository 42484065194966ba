#include "ui/MessageBox.h"

#include "ui/ModalQuestions.h"

#include <QAbstractButton>
#include <QPointer>

namespace {
MessageBoxHook &hook()
{
    static MessageBoxHook h;
    return h;
}

MessageBoxObserver &observer()
{
    static MessageBoxObserver o;
    return o;
}
} // namespace

void setMessageBoxHook(MessageBoxHook h)
{
    hook() = std::move(h);
}

void setMessageBoxObserver(MessageBoxObserver o)
{
    observer() = std::move(o);
}

QMessageBox::StandardButton corvaneMessageBox(QWidget *parent, QMessageBox::Icon icon,
                                              const QString &title, const QString &text,
                                              QMessageBox::StandardButtons buttons)
{
    return corvaneMessageBox(parent, icon, title, text, buttons, {});
}

QMessageBox::StandardButton corvaneMessageBox(QWidget *parent, QMessageBox::Icon icon,
                                              const QString &title, const QString &text,
                                              QMessageBox::StandardButtons buttons,
                                              const MessageBoxButtonTexts &buttonTexts)
{
    if (observer())
        observer()(title, text);
    if (hook())
        return hook()(parent, icon, title, text, buttons);
    if (modalQuestionsEnded())
        return QMessageBox::NoButton; // the program is ending: no one answers
    // The parent may go while the box is up (a page closing its window, the
    // program ending): the box goes with it and counts as not answered.
    QPointer<QMessageBox> box = new QMessageBox(icon, title, text, buttons, parent);
    if (buttons.testFlag(QMessageBox::Yes))
        box->setDefaultButton(QMessageBox::Yes);
    else if (buttons.testFlag(QMessageBox::Ok))
        box->setDefaultButton(QMessageBox::Ok);
    for (const auto &[button, label] : buttonTexts) {
        if (QAbstractButton *b = box->button(button))
            b->setText(label);
    }
    const int answer = box->exec();
    if (!box)
        return QMessageBox::NoButton;
    delete box;
    return QMessageBox::StandardButton(answer);
}

QMessageBox::StandardButton showUserMessage(QWidget *parent, const corvane::UserMessage &message)
{
    QMessageBox::Icon icon = QMessageBox::Information;
    switch (message.icon) {
    case corvane::UserMessage::Icon::Information: icon = QMessageBox::Information; break;
    case corvane::UserMessage::Icon::Exclamation: icon = QMessageBox::Warning; break;
    case corvane::UserMessage::Icon::Stop: icon = QMessageBox::Critical; break;
    }
    return corvaneMessageBox(parent, icon, QString::fromStdString(message.title),
                             QString::fromStdString(message.text), QMessageBox::Ok);
}
