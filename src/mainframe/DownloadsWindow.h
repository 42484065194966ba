#pragma once

#include <QDialog>
#include <QHash>
#include <QPointer>
#include <QTimer>

class Download;
class DownloadList;
class QCheckBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class SettingsStore;

// "Downloads": every download of this session with its name, size,
// progress, speed and state; Cancel stops the one chosen, Open opens a
// finished file, Show in Folder the folder that holds it, Clear List takes
// the ended ones off. Two switches: whether the window opens when a
// download starts, and whether each download asks where to save it. A
// window of its own beside the main window, never modal; the rows follow
// the downloads at most four times a second while it shows.
class DownloadsWindow : public QDialog
{
    Q_OBJECT
public:
    DownloadsWindow(SettingsStore &settings, DownloadList &list, QWidget *parent = nullptr);
    ~DownloadsWindow() override;

    QTreeWidget *list() const { return m_tree; }
    QPushButton *cancelButton() const { return m_cancel; }
    QPushButton *openButton() const { return m_open; }
    QPushButton *showInFolderButton() const { return m_showInFolder; }
    QPushButton *clearButton() const { return m_clear; }
    QCheckBox *showOnStartBox() const { return m_showOnStart; }
    QCheckBox *askWhereToSaveBox() const { return m_askWhereToSave; }
    // The row of a download; -1 when it is not listed.
    int rowOf(const Download *download) const;
    // The download of the current row; nullptr for none.
    Download *currentDownload() const;
    void selectDownload(const Download *download);
    // The texts of a row as shown (name, size, progress, speed, state).
    QStringList rowTexts(int row) const;

    // The rows as the downloads are now.
    void refresh();

public Q_SLOTS:
    void cancelCurrent();
    void openCurrent();
    void showCurrentInFolder();
    void clearFinished();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void rebuild();
    void fillRow(QTreeWidgetItem *item, Download *download);
    void updateButtons();
    void scheduleRefresh();

    SettingsStore &m_settings;
    QPointer<DownloadList> m_downloads;
    QTreeWidget *m_tree = nullptr;
    QLabel *m_folder = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_open = nullptr;
    QPushButton *m_showInFolder = nullptr;
    QPushButton *m_clear = nullptr;
    QCheckBox *m_showOnStart = nullptr;
    QCheckBox *m_askWhereToSave = nullptr;
    QHash<const Download *, QTreeWidgetItem *> m_rows;
    QTimer m_refresh;
};
