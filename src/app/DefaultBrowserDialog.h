#pragma once

#include <QDialog>

#include <functional>

class QCheckBox;

// "Default browser alert": asks whether to make Corvane the desktop's web
// browser, with "Don't ask this again". No is the default button.
class DefaultBrowserDialog : public QDialog
{
    Q_OBJECT
public:
    struct Answer
    {
        bool yes = false;
        bool dontAskAgain = false;
    };

    explicit DefaultBrowserDialog(QWidget *parent = nullptr);

    QCheckBox *dontAskAgainBox() const { return m_dontAsk; }
    bool dontAskAgain() const;

    // Runs the dialog modally (or the hook in its place).
    static Answer ask(QWidget *parent);
    // Answers the question in place of the user while set (tests); an
    // empty hook brings the dialog back.
    using Hook = std::function<Answer(QWidget *parent)>;
    static void setHook(Hook hook);

private:
    QCheckBox *m_dontAsk = nullptr;
};
