#include "mainframe/StatusPane.h"

#include <QPainter>
#include <QRasterWindow>
#include <QStyle>
#include <QVBoxLayout>
#include <qdrawutil.h>

#include <utility>

namespace {
constexpr int kTextMargin = 1;
constexpr int kFrame = 1; // the sunken panel's edge
} // namespace

// The pane's own surface: a sunken panel with the text.
class StatusPane::Surface : public QRasterWindow
{
public:
    explicit Surface(StatusPane *pane) : m_pane(pane) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QPalette &pal = m_pane->palette();
        const QRect r(QPoint(0, 0), size());
        p.fillRect(r, pal.color(QPalette::Window));
        qDrawShadePanel(&p, r, pal, true, kFrame);
        const QRect text = r.adjusted(kTextMargin + kFrame, kFrame, -kTextMargin - kFrame, -kFrame);
        p.setClipRect(text);
        p.setFont(m_pane->font());
        m_pane->style()->drawItemText(&p, text, int(m_pane->alignment()), pal, m_pane->isEnabled(),
                                      m_pane->text(), QPalette::WindowText);
    }

private:
    StatusPane *m_pane;
};

StatusPane::StatusPane(QWidget *parent) : QWidget(parent), m_surface(new Surface(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_container = QWidget::createWindowContainer(m_surface, this);
    m_container->setFocusPolicy(Qt::NoFocus);
    m_container->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(m_container);
}

void StatusPane::releaseSurface()
{
    // The container takes its window with it.
    delete std::exchange(m_container, nullptr);
    m_surface = nullptr;
}

StatusPane::~StatusPane() = default;

QWindow *StatusPane::surface() const
{
    return m_surface;
}

void StatusPane::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    if (m_surface)
        m_surface->update();
}

void StatusPane::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    if (m_surface)
        m_surface->update();
}

int StatusPane::roomFor(const QString &text) const
{
    return fontMetrics().horizontalAdvance(text) + 2 * (kTextMargin + kFrame);
}

QSize StatusPane::sizeHint() const
{
    const int height = fontMetrics().height() + 4;
    return QSize(fontMetrics().horizontalAdvance(m_text) + 2 * kTextMargin, height);
}

QSize StatusPane::minimumSizeHint() const
{
    return QSize(0, fontMetrics().height() + 4);
}
