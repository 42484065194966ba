#include "ui/ListBox.h"

#include "core/DialogAnchors.h"

#include <QScrollBar>

#include <vector>

ListBox::ListBox(int extentOffset, QWidget *parent) : QListWidget(parent), m_extentOffset(extentOffset)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setTextElideMode(Qt::ElideNone);
}

void ListBox::setItems(const QStringList &items)
{
    clear();
    addItems(items);
    updateHorizontalExtent();
}

QStringList ListBox::items() const
{
    QStringList texts;
    for (int i = 0; i < count(); ++i)
        texts.append(item(i)->text());
    return texts;
}

void ListBox::updateHorizontalExtent()
{
    std::vector<int> widths;
    widths.reserve(size_t(count()));
    const QFontMetrics metrics = fontMetrics();
    for (int i = 0; i < count(); ++i)
        widths.push_back(metrics.horizontalAdvance(item(i)->text()));
    m_extent = corvane::listBoxHorizontalExtent(widths, m_extentOffset);
    updateGeometries();
}

void ListBox::updateGeometries()
{
    QListWidget::updateGeometries();
    // The scroll bar covers the extent, not the items' own width.
    const int page = viewport()->width();
    horizontalScrollBar()->setPageStep(page);
    horizontalScrollBar()->setRange(0, qMax(0, m_extent - page));
}
