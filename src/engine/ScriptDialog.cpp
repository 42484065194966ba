#include "engine/ScriptDialog.h"

#include "core/PageDialogs.h"
#include "ui/ModalQuestions.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <QWebEnginePage>

namespace {

// The engine hands the page's text over escaped for rich text; the box
// shows it as the page wrote it.
QString unescaped(QString text)
{
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    text.replace(QLatin1String("&#39;"), QLatin1String("'"));
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}

} // namespace

ScriptDialog::ScriptDialog(Kind kind, const QString &host, const QString &message, const QString &defaultText,
                           bool offerStop, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QString::fromStdString(corvane::pageDialogTitle(host.toStdString())));
    setWindowModality(Qt::NonModal);
    // Ended with the other questions when the program ends.
    markAsQuestion(this);

    auto *layout = new QVBoxLayout(this);
    m_message = new QLabel(unescaped(message), this);
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_message);
    if (kind == Kind::Prompt) {
        m_text = new QLineEdit(unescaped(defaultText), this);
        layout->addWidget(m_text);
    }
    m_stop = new QCheckBox(QString::fromLatin1(corvane::kStopPageDialogsText), this);
    m_stop->setVisible(offerStop);
    layout->addWidget(m_stop);
    auto *buttons = new QDialogButtonBox(kind == Kind::Alert ? QDialogButtonBox::Ok
                                                             : QDialogButtonBox::Ok | QDialogButtonBox::Cancel,
                                         this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

QString ScriptDialog::message() const
{
    return m_message->text();
}

ScriptDialog::Answer ScriptDialog::ask(QWebEnginePage *page, QWidget *parent, Kind kind, const QString &host,
                                       const QString &message, const QString &defaultText, bool offerStop)
{
    Answer answer;
    if (modalQuestionsEnded())
        return answer;
    const QPointer<ScriptDialog> dialog = new ScriptDialog(kind, host, message, defaultText, offerStop, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    QEventLoop wait;
    bool done = false;
    auto finish = [&] {
        done = true;
        wait.quit();
    };
    QObject::connect(dialog, &QDialog::finished, &wait, finish);
    QObject::connect(dialog, &QObject::destroyed, &wait, finish);
    if (page) {
        // A new load (the user went elsewhere) or the page's end ends the box.
        QObject::connect(page, &QWebEnginePage::loadStarted, &wait, finish);
        QObject::connect(page, &QObject::destroyed, &wait, finish);
        QObject::connect(page, &QWebEnginePage::renderProcessTerminated, &wait, finish);
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    if (!done)
        wait.exec();
    if (!dialog)
        return answer;
    answer.accepted = dialog->result() == QDialog::Accepted;
    if (answer.accepted && dialog->textEdit())
        answer.text = dialog->textEdit()->text();
    answer.stopDialogs = offerStop && dialog->stopBox()->isChecked();
    delete dialog;
    return answer;
}
