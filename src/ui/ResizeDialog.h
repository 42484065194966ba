#pragma once

#include "core/DialogAnchors.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QSize>
#include <QString>

class QLayout;
class SettingsStore;

// The base of the resizable dialogs (the Links, Workspace and Window Spawning
// Managers): a size grip in the bottom-right corner, controls that follow the
// dialog's edges by anchors in percent of its size, the start size as the
// smallest size, and a rectangle remembered under the dialog's name.
//
// A dialog places its controls, anchors them, then asks for its stored size:
//
//     setStartLayout(grid);                    // places and start size
//     addAnchor(list, kAnchorTopLeft, kAnchorBottomRight);
//     addAnchor(okButton, kAnchorBottomRight); // moves, keeps its size
//     enableSaveRestore(settings, QStringLiteral("Spawning"));
//
// Controls without an anchor keep their place. The dialog is always centred
// on its parent; only its size is restored.
class ResizeDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ResizeDialog(QWidget *parent = nullptr);
    ~ResizeDialog() override;

    // Places the controls with the layout at its preferred size (at least
    // atLeast) and takes the layout away again: from here on the anchors
    // place the controls. That size is the start size.
    void setStartLayout(QLayout *layout, const QSize &atLeast = QSize());
    // For controls placed by hand: the dialog's size now is the start size.
    void setStartSize(const QSize &size);
    QSize startSize() const { return m_startSize; }

    // Anchors a control (a child of the dialog) where it is now; none as the
    // bottom-right anchor moves it without changing its size.
    void addAnchor(QWidget *control, corvane::AnchorPoint topLeft,
                   corvane::AnchorPoint bottomRight = corvane::kAnchorNone);
    // Places every anchored control for the dialog's present size.
    void arrangeLayout();

    // Restores the size stored under the dialog name ("Links", "Spawning",
    // "Workspaces") at once, and stores the dialog's rectangle when it ends,
    // after OK and after Cancel alike. In CD mode nothing is read or stored.
    void enableSaveRestore(SettingsStore &settings, const QString &dialogName);
    QString dialogName() const { return m_dialogName; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void done(int result) override;

private:
    struct AnchoredControl
    {
        QPointer<QWidget> control;
        corvane::Anchor anchor;
    };

    void savePlacement();

    QList<AnchoredControl> m_anchors;
    QSize m_startSize;
    SettingsStore *m_settings = nullptr;
    QString m_dialogName;
};
