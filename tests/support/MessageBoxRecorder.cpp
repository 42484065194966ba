#include "support/MessageBoxRecorder.h"

#include "ui/MessageBox.h"

MessageBoxRecorder::MessageBoxRecorder()
{
    setMessageBoxHook([this](QWidget *, QMessageBox::Icon icon, const QString &title,
                             const QString &text, QMessageBox::StandardButtons buttons) {
        boxes.append({icon, title, text, buttons});
        return answer;
    });
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    setMessageBoxHook({});
}
