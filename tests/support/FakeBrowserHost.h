#pragma once

#include "browser/BrowserHost.h"
#include "support/FakeBrowserControl.h"
#include "support/TempHome.h"

#include <QList>
#include <QPointer>
#include <QString>

#include <memory>

class QMdiArea;

// A browser view's host without an application or a main window: a settings
// store and a navigation log of its own on a temporary home, plain fields for
// what the main window would show, and browser windows with fake controls in
// an MDI area of its own.
class FakeBrowserHost : public BrowserHost
{
public:
    FakeBrowserHost();
    ~FakeBrowserHost() override;
    FakeBrowserHost(const FakeBrowserHost &) = delete;
    FakeBrowserHost &operator=(const FakeBrowserHost &) = delete;

    // The area holding the browser windows (shown, as a main window would be).
    QMdiArea *area() const { return m_area.get(); }

    // --- BrowserHost ---------------------------------------------------------------------
    SettingsStore &settings() override { return *m_settings; }
    NavigationLog &log() override { return *m_log; }
    QString pendingDocumentAddress() const override { return pendingDocument; }
    void setPendingDocumentAddress(const QString &address) override { pendingDocument = address; }
    void clearFirstNew() override { firstNew = false; }
    BrowserView *activeView() const override;
    BrowserView *openBrowserWindow() override;
    BrowserView *openPopupWindow() override;
    void showPopupWindow(BrowserWindow *window) override;
    // A fake control, added to controls.
    BrowserControl *createControl(QWidget *parent) override;
    void insertIEMenu() override { ++ieMenuInsertions; }
    void pageStateChanged() override { ++pageStateChanges; }
    void setAddressText(const QString &text) override;
    void clearAddressTyping() override { addressTyping = false; }
    void setStatusText(const QString &text) override { statusText = text; }
    void setProgress(int p, int max) override;
    void setSecurity(corvane::PageSecurity s) override
    {
        security = s;
        secure = s == corvane::PageSecurity::Secure;
    }
    void updateStatusPanes() override { ++statusPaneUpdates; }
    bool isOffline() const override { return offline; }
    void setOffline(bool on) override { offline = on; }
    void setFontSize(int fonts) override { fontSize = fonts; }
    bool overrideScriptDebugging() const override { return scriptDebuggerOverride; }

    // --- what the view left for the main window --------------------------------------------
    QString addressText;
    bool addressTyping = false; // while set, the address text stays as it is
    QString statusText;
    int progress = 0;
    int progressMax = 0;
    bool secure = false; // security is Secure
    corvane::PageSecurity security = corvane::PageSecurity::NotEncrypted;
    bool offline = false;
    int fontSize = 3;
    bool scriptDebuggerOverride = false;
    int ieMenuInsertions = 0;
    int pageStateChanges = 0;
    int statusPaneUpdates = 0;
    QString pendingDocument;
    bool firstNew = true;

    TempHome home;
    // The control of every window opened, in order.
    QList<QPointer<FakeBrowserControl>> controls;

private:
    BrowserWindow *createWindow();

    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<NavigationLog> m_log;
    std::unique_ptr<QMdiArea> m_area;
};
