#include "ui/ModalQuestions.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QWidget>

#include <vector>

namespace {
bool g_ended = false;
} // namespace

void endModalQuestions()
{
    g_ended = true;
    // Outermost last: a dialog opened from another one ends first.
    std::vector<QPointer<QWidget>> modal;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->isModal())
            modal.emplace_back(widget);
    }
    for (const QPointer<QWidget> &widget : modal) {
        if (!widget)
            continue;
        if (auto *dialog = qobject_cast<QDialog *>(widget.data()))
            dialog->reject();
        else
            widget->close();
    }
}

bool modalQuestionsEnded()
{
    return g_ended;
}

void resumeModalQuestions()
{
    g_ended = false;
}
