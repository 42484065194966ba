#pragma once

#include <QString>
#include <QWidget>

class QRasterWindow;
class QWindow;

// One text pane of the status bar. A new text repaints the pane alone and
// never lays the bar out again (the panes' widths are the main window's to
// set). The pane draws on a surface of its own: the running time changes
// every second, and in a window that holds web pages any repaint of the
// window's own surface composes the whole window, pages and all, again.
class StatusPane : public QWidget
{
public:
    explicit StatusPane(QWidget *parent = nullptr);
    ~StatusPane() override;

    QString text() const { return m_text; }
    void setText(const QString &text);
    void setAlignment(Qt::Alignment alignment);
    Qt::Alignment alignment() const { return m_alignment; }
    // The native surface the pane draws on; none once released.
    QWindow *surface() const;
    // Lets the surface go for good, before the window it is in goes off the
    // screen: on Wayland an expose still queued for a surface whose window
    // has gone crashed the platform's painting. The pane shows nothing after.
    void releaseSurface();

    // The width the pane needs to show text whole in its font, frame and
    // margins included.
    int roomFor(const QString &text) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    class Surface;

    Surface *m_surface = nullptr;
    QWidget *m_container = nullptr;
    QString m_text;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignVCenter;
};
