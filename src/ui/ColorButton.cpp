#include "ui/ColorButton.h"

#include <QColorDialog>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {

// The width and height of a 3D edge, as the swatch's spacing uses them.
constexpr int kEdge = 2;

QColor toQColor(Rgb c)
{
    return QColor(rgbRed(c), rgbGreen(c), rgbBlue(c));
}

Rgb toRgb(const QColor &c)
{
    return makeRgb(c.red(), c.green(), c.blue());
}

} // namespace

ColorButton::ColorButton(QWidget *parent) : QPushButton(parent)
{
    // An empty window area's colour, as the MDI area shows it.
    m_defaultColor = palette().color(QPalette::Dark);
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, &ColorButton::chooseColor);
}

void ColorButton::setColor(Rgb color)
{
    m_color = color;
    if (isVisible())
        repaint();
}

QColor ColorButton::shownColor() const
{
    return m_color == kAutomaticColour ? m_defaultColor : toQColor(m_color);
}

QSize ColorButton::sizeHint() const
{
    return QSize(64, 26);
}

QSize ColorButton::minimumSizeHint() const
{
    return QSize(32, 20);
}

void ColorButton::chooseColor()
{
    QPointer<QColorDialog> dialog = new QColorDialog(shownColor(), this);
    // Our own dialog, so the custom colours are always there to pick from.
    dialog->setOption(QColorDialog::DontUseNativeDialog);
    const bool ok = dialog->exec() == QDialog::Accepted;
    if (!dialog)
        return;
    if (ok)
        m_color = toRgb(dialog->currentColor());
    delete dialog;
    update();
}

void ColorButton::keyPressEvent(QKeyEvent *event)
{
    // As a drop-down: Alt+Down and F4 open it too.
    if (event->key() == Qt::Key_F4
        || (event->key() == Qt::Key_Down && event->modifiers().testFlag(Qt::AltModifier))) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

ColorButton::Parts ColorButton::parts() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    Parts p;
    QRect interior = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    if (isDown())
        interior.translate(1, 1);
    p.interior = interior;
    interior.adjust(kEdge, kEdge, -kEdge, -kEdge);

    // The arrow: 4 pixels wide, 2 high, pointing down, at the right.
    const int middle = interior.center().y();
    const int right = interior.right() - kEdge / 2;
    const int left = right - 4;
    p.arrow << QPoint(left, middle - 1) << QPoint(right, middle - 1) << QPoint((left + right) / 2, middle + 1);

    // The divider left of it, then the swatch with its spacing.
    p.dividerX = left - kEdge / 2 - 1;
    interior.setRight(p.dividerX - 2 * kEdge - 1);
    p.swatch = interior;
    return p;
}

QRect ColorButton::swatchRect() const
{
    return isEnabled() ? parts().swatch : QRect();
}

void ColorButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    const Parts p = parts();
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = p.interior.adjusted(0, 0, -1, 0);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }

    const QColor arrowColor = isEnabled() ? QColor(Qt::black) : palette().color(QPalette::Disabled, QPalette::Text);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(arrowColor);
    painter.setBrush(arrowColor);
    painter.drawPolygon(p.arrow, Qt::WindingFill);

    // An etched line: dark, then light beside it.
    const int top = p.interior.top() + 1;
    const int bottom = p.interior.bottom() - 1;
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(p.dividerX, top, p.dividerX, bottom);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(p.dividerX + 1, top, p.dividerX + 1, bottom);

    if (!isEnabled() || p.swatch.width() <= 0 || p.swatch.height() <= 0)
        return;
    painter.setPen(Qt::black);
    painter.setBrush(shownColor());
    painter.drawRect(p.swatch.adjusted(0, 0, -1, -1));
}
