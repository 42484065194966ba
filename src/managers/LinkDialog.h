#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// "Add/Edit Link": one link's name and address, as the Links Manager hands
// them in. OK hands back what the two fields hold, unchecked; the Links
// Manager's rules decide what becomes of them.
class LinkDialog : public QDialog
{
    Q_OBJECT
public:
    LinkDialog(const QString &name, const QString &address, QWidget *parent = nullptr);

    QString name() const;
    QString address() const;

    QLineEdit *nameEdit() const { return m_name; }
    QLineEdit *addressEdit() const { return m_address; }
    QPushButton *okButton() const { return m_ok; }

private:
    QLineEdit *m_name = nullptr;
    QLineEdit *m_address = nullptr;
    QPushButton *m_ok = nullptr;
};
