#pragma once

#include <QDialog>
#include <QPointer>

class BrowserView;
class NavigationLog;
class QCheckBox;
class QLineEdit;
class QPushButton;
class SettingsStore;

// The Navigate dialog (F4): an address for the active browser window, which
// may instead become the home page or a new entry of the popup filter's word
// list or of the sallyport, and the two switches of those lists.
//
// OK leaves the address, completed by SmartNavigate, in the view's pending
// address for the main window to go to; Set as home and the two Add buttons
// end the dialog with OK too but leave the pending address empty. Cancel
// stores nothing and leaves the pending address as it was.
class NavigateDialog : public QDialog
{
    Q_OBJECT
public:
    NavigateDialog(SettingsStore &settings, NavigationLog &log, BrowserView *view,
                   QWidget *parent = nullptr);

    QLineEdit *siteAddress() const { return m_address; }
    QCheckBox *useFilter() const { return m_useFilter; }
    QCheckBox *useSallyport() const { return m_useSallyport; }
    QPushButton *setAsHomeButton() const { return m_setAsHome; }
    QPushButton *addToFilterButton() const { return m_addToFilter; }
    QPushButton *addToSallyportButton() const { return m_addToSallyport; }

public Q_SLOTS:
    void accept() override;
    void setAsHome();
    void addToFilter();
    void addToSallyport();

private:
    void storeSwitches();
    void setPendingAddress(const QString &address);

    SettingsStore &m_settings;
    NavigationLog &m_log;
    QPointer<BrowserView> m_view;
    QLineEdit *m_address = nullptr;
    QCheckBox *m_useFilter = nullptr;
    QCheckBox *m_useSallyport = nullptr;
    QPushButton *m_setAsHome = nullptr;
    QPushButton *m_addToFilter = nullptr;
    QPushButton *m_addToSallyport = nullptr;
};
