#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class SettingsStore;

// Internet Options: the web profile's own switches. Clearing the cache, the
// cookies and site data, or the answers sites got (their permissions)
// happens when its button is pressed; scripts and
// images on or off take effect on OK, at once in every browser window, and
// are kept for the next start.
class InternetOptionsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit InternetOptionsDialog(SettingsStore &settings, QWidget *parent = nullptr);

    QCheckBox *javaScriptBox() const { return m_javaScript; }
    QCheckBox *imagesBox() const { return m_images; }
    QPushButton *clearCacheButton() const { return m_clearCache; }
    QPushButton *clearCookiesButton() const { return m_clearCookies; }
    QPushButton *clearSitePermissionsButton() const { return m_clearPermissions; }
    // What the last button did, for the user.
    QString resultText() const;

    void accept() override;

private:
    void clearCache();
    void clearCookiesAndSiteData();
    void clearSitePermissions();

    SettingsStore &m_settings;
    QCheckBox *m_javaScript = nullptr;
    QCheckBox *m_images = nullptr;
    QPushButton *m_clearCache = nullptr;
    QPushButton *m_clearCookies = nullptr;
    QPushButton *m_clearPermissions = nullptr;
    QLabel *m_result = nullptr;
};
