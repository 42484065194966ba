#pragma once

#include <QComboBox>
#include <QStringList>

// The address box: an editable drop-down whose list is the address history,
// most recent first. It decides nothing itself; the main window runs Go on
// Enter, Pick when the user chooses an item from the drop-down list, and
// Typing when the user edits the text.
class AddressBar : public QComboBox
{
    Q_OBJECT
public:
    explicit AddressBar(QWidget *parent = nullptr);

    // The text of the edit field, as typed.
    QString editText() const;
    // The history, from the top.
    QStringList items() const;
    // Puts a text at the top of the history.
    void insertAtTop(const QString &text);
    // Appends stored history entries in their stored order.
    void appendItems(const QStringList &texts);

Q_SIGNALS:
    // Enter in the edit field.
    void goRequested();
    // An item was chosen from the drop-down list.
    void itemPicked(int index);
    // The user changed the edit field's text (not the program).
    void textEditedByUser(const QString &text);

public:
    // The drop-down list opens at the top: the newest address, selected.
    void showPopup() override;
    void hidePopup() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    // True from the opening of the drop-down list until just after it
    // closes: only a choice made there is a Pick. QComboBox also reports
    // "activated" when the edit field loses focus holding the text of an
    // item, which must not navigate.
    bool m_listOpen = false;
};
