#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>

// Answers the program's message boxes in place of a user while it lives,
// and records each box shown. The real boxes come back when it goes.
class MessageBoxRecorder
{
public:
    struct ShownBox
    {
        QMessageBox::Icon icon;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons;
    };

    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder &) = delete;
    MessageBoxRecorder &operator=(const MessageBoxRecorder &) = delete;

    QList<ShownBox> boxes;
    // What every box answers.
    QMessageBox::StandardButton answer = QMessageBox::Yes;
};
