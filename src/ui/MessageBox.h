#pragma once

#include "core/UserMessage.h"

#include <QList>
#include <QMessageBox>
#include <QPair>
#include <QString>

#include <functional>

// Every message box of the program goes through here: a modal box with a
// fixed text, a title and an icon (stop for refused input, information for
// notices, a question with Yes and No for confirmations). Yes, or else OK,
// is the default button. A box whose parent goes while it is up answers
// NoButton; the caller checks that it is still there itself. Once the program
// is ending (endModalQuestions) no box is shown and the answer is NoButton.
QMessageBox::StandardButton corvaneMessageBox(QWidget *parent, QMessageBox::Icon icon,
                                              const QString &title, const QString &text,
                                              QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// The same with buttons of the program's own words ("&Allow" for Yes, say);
// the answer and the hook's view of it are the standard buttons'.
using MessageBoxButtonTexts = QList<QPair<QMessageBox::StandardButton, QString>>;
QMessageBox::StandardButton corvaneMessageBox(QWidget *parent, QMessageBox::Icon icon,
                                              const QString &title, const QString &text,
                                              QMessageBox::StandardButtons buttons,
                                              const MessageBoxButtonTexts &buttonTexts);

// A message a core rule handed back, with its text, title and icon and an
// OK button.
QMessageBox::StandardButton showUserMessage(QWidget *parent, const corvane::UserMessage &message);

// Answers the boxes in place of the user while set (tests); an empty hook
// brings the real boxes back.
using MessageBoxHook = std::function<QMessageBox::StandardButton(
    QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text,
    QMessageBox::StandardButtons buttons)>;
void setMessageBoxHook(MessageBoxHook hook);

// Told of every box before it shows (or before the hook answers it), while
// set: the process tests see the boxes on stderr.
using MessageBoxObserver = std::function<void(const QString &title, const QString &text)>;
void setMessageBoxObserver(MessageBoxObserver observer);
