#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// Add to Favorites: the name and the address of the new favorite, the page's
// title and address to begin with. OK needs an address.
class AddFavoriteDialog : public QDialog
{
    Q_OBJECT
public:
    AddFavoriteDialog(const QString &name, const QString &address, const QString &folder,
                      QWidget *parent = nullptr);

    QString name() const;
    QString address() const;
    QLineEdit *nameEdit() const { return m_name; }
    QLineEdit *addressEdit() const { return m_address; }

private:
    QLineEdit *m_name = nullptr;
    QLineEdit *m_address = nullptr;
    QPushButton *m_ok = nullptr;
};
