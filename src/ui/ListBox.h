#pragma once

#include <QListWidget>

// The list of a manager dialog: items in the order given (the managers'
// rules sort them), one selected at a time, and a horizontal scroll extent
// set by the managers' rule from the widths of the items
// (corvane::listBoxHorizontalExtent with the dialog's offset).
class ListBox : public QListWidget
{
    Q_OBJECT
public:
    explicit ListBox(int extentOffset, QWidget *parent = nullptr);

    // Replaces the items and sets the extent for them.
    void setItems(const QStringList &items);
    QStringList items() const;
    // Measures the items again (after adding or removing one).
    void updateHorizontalExtent();
    // The width the horizontal scroll bar covers, in pixels; 0 for none.
    int horizontalExtent() const { return m_extent; }

protected:
    void updateGeometries() override;

private:
    int m_extentOffset;
    int m_extent = 0;
};
