#include "ui/MessageBox.h"

namespace {
MessageBoxHook &hook()
{
    static MessageBoxHook h;
    return h;
}
} // namespace

void setMessageBoxHook(MessageBoxHook h)
{
    hook() = std::move(h);
}

QMessageBox::StandardButton corvaneMessageBox(QWidget *parent, QMessageBox::Icon icon,
                                              const QString &title, const QString &text,
                                              QMessageBox::StandardButtons buttons)
{
    if (hook())
        return hook()(parent, icon, title, text, buttons);
    QMessageBox box(icon, title, text, buttons, parent);
    if (buttons.testFlag(QMessageBox::Yes))
        box.setDefaultButton(QMessageBox::Yes);
    else if (buttons.testFlag(QMessageBox::Ok))
        box.setDefaultButton(QMessageBox::Ok);
    return QMessageBox::StandardButton(box.exec());
}
