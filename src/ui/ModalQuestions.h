#pragma once

// The program ending while a question is up. A SIGTERM, a SIGINT or the end
// of the session closes the program like a confirmed exit, whatever modal
// dialog or message box is open at the time: a start-up question ("Default
// browser alert"), the exit question, a manager, a file dialog.

class QWidget;

// From here on no modal question is asked (corvaneMessageBox answers
// NoButton at once, a question dialog is not shown), and every modal dialog
// that is up is rejected, so that the code waiting for its answer goes on.
void endModalQuestions();

// True once endModalQuestions() was called: an answer had from a question
// now is no answer of the user's.
bool modalQuestionsEnded();

// A dialog that asks without being modal (a page's own box): ended with the
// modal ones.
void markAsQuestion(QWidget *dialog);

// Questions are asked again (tests, which go on in the same process).
void resumeModalQuestions();
