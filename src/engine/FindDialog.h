#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The Find dialog of a page: the text, "Match case", the direction and
// "Find Next". It stays open beside the page (modeless); each Find Next asks
// the page through findNext() and shows the answer through showResult().
class FindDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FindDialog(QWidget *parent = nullptr);

    QString text() const;
    bool matchCase() const;
    bool searchUp() const;

    // The answer to the last search: how many matches the page holds.
    void showResult(const QString &text, int matches);
    QString resultText() const;

Q_SIGNALS:
    void findNext(const QString &text, bool matchCase, bool searchUp);

private:
    QLineEdit *m_text = nullptr;
    QCheckBox *m_matchCase = nullptr;
    QRadioButton *m_up = nullptr;
    QRadioButton *m_down = nullptr;
    QPushButton *m_findNext = nullptr;
    QLabel *m_result = nullptr;
};
