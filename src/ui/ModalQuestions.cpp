#include "ui/ModalQuestions.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QVariant>
#include <QWidget>

#include <vector>

namespace {
bool g_ended = false;
const char *const kQuestionProperty = "corvaneQuestion";
} // namespace

void markAsQuestion(QWidget *dialog)
{
    dialog->setProperty(kQuestionProperty, true);
}

void endModalQuestions()
{
    g_ended = true;
    // Outermost last: a dialog opened from another one ends first.
    std::vector<QPointer<QWidget>> modal;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && (widget->isModal() || widget->property(kQuestionProperty).toBool()))
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
