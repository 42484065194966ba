#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

// Acts on the next modal dialog of type Dialog as soon as it is up (run with
// exec() by the code under test), then closes it with Cancel if the action
// left it open. Arm it just before the call that opens the dialog:
//
//     onNextModal<NavigateDialog>([](NavigateDialog &d) { d.accept(); });
//     mainWindow()->runCommand(cmd::Navigate);
//
// *ran (when given) tells afterwards whether the action ran.
template<class Dialog>
void onNextModal(std::function<void(Dialog &)> action, bool *ran = nullptr)
{
    auto *timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action, ran, tries] {
        auto *found = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (!found && ++*tries < 1000)
            return;
        timer->stop();
        timer->deleteLater();
        if (!found)
            return;
        const QPointer<Dialog> dialog = found;
        if (ran)
            *ran = true;
        action(*dialog);
        if (dialog && dialog->isVisible())
            dialog->reject();
    });
    timer->start(0);
}
