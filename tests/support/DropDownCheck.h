#pragma once

#include <QAbstractItemView>
#include <QComboBox>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QStyleOptionViewItem>

#include <algorithm>

// The items of a drop-down list that do not show whole when it is open:
// each row is drawn once more, by the list's own delegate, into room far
// wider than the list, and any ink beyond what the open list shows of the
// row is text it cuts off.
inline QStringList clippedDropDownItems(QComboBox *combo)
{
    QStringList clipped;
    combo->showPopup();
    QAbstractItemView *view = combo->view();
    for (int row = 0; row < combo->count(); ++row) {
        const QModelIndex index = combo->model()->index(row, combo->modelColumn());
        const QRect shown = view->visualRect(index);
        // What the open list shows of the row.
        const int visible = std::min(shown.right() + 1, view->viewport()->width()) - shown.left();
        const int room = std::max(shown.width(), visible) * 3;
        QImage image(room, shown.height(), QImage::Format_ARGB32);
        image.fill(view->palette().color(QPalette::Base));
        {
            QPainter painter(&image);
            QStyleOptionViewItem option;
            option.initFrom(view);
            option.rect = QRect(0, 0, room, shown.height());
            option.font = view->font();
            option.state &= ~QStyle::State_HasFocus;
            view->itemDelegateForIndex(index)->paint(&painter, option, index);
        }
        const QRgb background = image.pixel(room - 1, shown.height() / 2);
        int rightmostInk = -1;
        for (int x = room - 1; x >= 0 && rightmostInk < 0; --x) {
            for (int y = 0; y < shown.height(); ++y) {
                if (image.pixel(x, y) != background) {
                    rightmostInk = x;
                    break;
                }
            }
        }
        if (rightmostInk >= visible - 1)
            clipped << combo->itemText(row);
    }
    combo->hidePopup();
    return clipped;
}
