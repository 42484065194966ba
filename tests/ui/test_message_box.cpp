// The program's message box when the window it belongs to goes while it is up.
#include "ui/MessageBox.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

TEST(MessageBoxTest, ParentClosingWhileTheBoxIsUpLeavesItUnanswered)
{
    setMessageBoxHook({});
    QPointer<QWidget> parent = new QWidget;
    parent->show();
    QTimer::singleShot(0, parent, [&parent] { delete parent; });
    // Should the box outlive its parent, answer it rather than hang.
    QTimer rescue;
    QObject::connect(&rescue, &QTimer::timeout, [] {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    rescue.start(3000);
    const QMessageBox::StandardButton answer =
        corvaneMessageBox(parent, QMessageBox::Question, QStringLiteral("Exit program"),
                          QStringLiteral("Are you sure you want to exit?"),
                          QMessageBox::Yes | QMessageBox::No);
    EXPECT_TRUE(parent.isNull());
    EXPECT_EQ(answer, QMessageBox::NoButton);
}
