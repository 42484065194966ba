#include "mainframe/AddressBar.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

AddressBar::AddressBar(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    // The history grows only through Go; the box never adds items itself.
    setInsertPolicy(QComboBox::NoInsert);
    // No completion: what the user types is what Go takes.
    setCompleter(nullptr);
    setDuplicatesEnabled(true);
    setMaxVisibleItems(12);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(8);
    // QComboBox would turn a focus loss on a text equal to an item into a
    // selection of that item; the text stays as the user left it.
    disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
    connect(lineEdit(), &QLineEdit::textEdited, this, &AddressBar::textEditedByUser);
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (m_listOpen && index >= 0)
            Q_EMIT itemPicked(index);
    });
}

QString AddressBar::editText() const
{
    return lineEdit()->text();
}

QStringList AddressBar::items() const
{
    QStringList list;
    list.reserve(count());
    for (int i = 0; i < count(); ++i)
        list << itemText(i);
    return list;
}

void AddressBar::insertAtTop(const QString &text)
{
    // Inserting moves the current index; the edit field keeps its text.
    const QString shown = lineEdit()->text();
    insertItem(0, text);
    lineEdit()->setText(shown);
}

void AddressBar::appendItems(const QStringList &texts)
{
    const QString shown = lineEdit()->text();
    addItems(texts);
    lineEdit()->setText(shown);
}

void AddressBar::showPopup()
{
    m_listOpen = true;
    QComboBox::showPopup();
    // The list opens at the newest address. (The box's current item is
    // whichever was first when the history was loaded, moved down by every
    // address put on top since; the list would open scrolled to it.)
    if (count() > 0) {
        view()->setCurrentIndex(model()->index(0, modelColumn(), rootModelIndex()));
        view()->scrollToTop();
    }
}

void AddressBar::hidePopup()
{
    QComboBox::hidePopup();
    // The choice, if any, is reported right after the list closes.
    QTimer::singleShot(0, this, [this] { m_listOpen = false; });
}

void AddressBar::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        Q_EMIT goRequested();
        return;
    }
    QComboBox::keyPressEvent(event);
}
