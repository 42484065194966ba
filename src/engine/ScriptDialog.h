#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QWebEnginePage;

// A page's own box: alert (OK), confirm (OK, Cancel) or prompt (a text,
// OK, Cancel), titled by the site that asks (corvane::pageDialogTitle). It
// is not modal: while it is up the page waits, but the program does not
// (menus, other windows, Close and Exit all work). After a few boxes from
// one page it offers to stop the page's boxes (corvane::PageDialogs).
class ScriptDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Kind { Alert, Confirm, Prompt };

    struct Answer
    {
        bool accepted = false;
        QString text;            // a prompt's answer
        bool stopDialogs = false; // the stop box was offered and ticked
    };

    ScriptDialog(Kind kind, const QString &host, const QString &message, const QString &defaultText,
                 bool offerStop, QWidget *parent = nullptr);

    // Shows the box and waits for it, the event loop running. It ends as
    // answered, or as cancelled when the page loads anew or goes, when the
    // parent goes, or when the program ends.
    static Answer ask(QWebEnginePage *page, QWidget *parent, Kind kind, const QString &host,
                      const QString &message, const QString &defaultText, bool offerStop);

    QString message() const;
    QLineEdit *textEdit() const { return m_text; }
    QCheckBox *stopBox() const { return m_stop; }

private:
    QLabel *m_message = nullptr;
    QLineEdit *m_text = nullptr;
    QCheckBox *m_stop = nullptr;
};
