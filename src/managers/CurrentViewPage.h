#pragma once

#include "managers/OptionsSheet.h"

#include <QPointer>

class BrowserView;
class ColorButton;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QToolButton;

// An edit for a whole number with up and down buttons beside it (and the
// Up and Down keys). It takes any text: the page checks it when it is left.
class SpinEdit : public QWidget
{
    Q_OBJECT
public:
    SpinEdit(int minimum, int maximum, QWidget *parent = nullptr);

    QLineEdit *edit() const { return m_edit; }
    QString text() const;
    void setValue(int value);
    // One step up or down from the number shown, kept within the range.
    void step(int by);

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int m_minimum;
    int m_maximum;
    QLineEdit *m_edit = nullptr;
    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
};

// "Current View": the active window's AutoRefresh (on, minutes, seconds) and
// the ActiveBorder (on, 3D, colour). Without a browser window the
// AutoRefresh part is greyed and OK stores only the ActiveBorder settings.
class CurrentViewPage : public OptionsPage
{
    Q_OBJECT
public:
    explicit CurrentViewPage(OptionsHost &host, QWidget *parent = nullptr);

    QCheckBox *autoRefreshBox() const { return m_autoRefresh; }
    SpinEdit *minutesEdit() const { return m_minutes; }
    SpinEdit *secondsEdit() const { return m_seconds; }
    QCheckBox *activeBorderBox() const { return m_activeBorder; }
    QCheckBox *view3DBox() const { return m_view3D; }
    QPushButton *defaultColorButton() const { return m_defaultColor; }
    ColorButton *colorButton() const { return m_color; }
    // The view the page edits: the active one when the page was first shown.
    BrowserView *view() const;

    bool leave() override;
    void ok() override;

protected:
    void initialize() override;

private:
    void enableControls();

    QPointer<BrowserView> m_view;
    bool m_hadView = false;
    int m_minutesValue = 0;
    int m_secondsValue = 0;
    QCheckBox *m_autoRefresh = nullptr;
    SpinEdit *m_minutes = nullptr;
    SpinEdit *m_seconds = nullptr;
    QCheckBox *m_activeBorder = nullptr;
    QCheckBox *m_view3D = nullptr;
    QPushButton *m_defaultColor = nullptr;
    ColorButton *m_color = nullptr;
};
