// The program's message boxes: the window it belongs to going while one is
// up, buttons in the program's words, and the login question.
#include "ui/LoginDialog.h"
#include "ui/MessageBox.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>

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

TEST(MessageBoxTest, ButtonsInTheProgramsOwnWords)
{
    setMessageBoxHook({});
    QWidget parent;
    parent.show();
    QStringList labels;
    QTimer::singleShot(0, [&labels] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        for (QAbstractButton *b : box->buttons())
            labels << b->text();
        box->button(QMessageBox::No)->click();
    });
    const QMessageBox::StandardButton answer = corvaneMessageBox(
        &parent, QMessageBox::Question, QStringLiteral("Site permission alert"), QStringLiteral("h wants it."),
        QMessageBox::Yes | QMessageBox::No, {{QMessageBox::Yes, QStringLiteral("&Allow")}, {QMessageBox::No, QStringLiteral("&Deny")}});
    EXPECT_EQ(answer, QMessageBox::No);
    labels.sort();
    EXPECT_EQ(labels, (QStringList{QStringLiteral("&Allow"), QStringLiteral("&Deny")}));
}

TEST(LoginDialogTest, LogInNeedsAUserNameAndCancelGivesNothing)
{
    setLoginDialogHook({});
    QWidget parent;
    parent.show();
    bool disabledWhileEmpty = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<LoginDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QPushButton *logIn = dialog->buttons()->button(QDialogButtonBox::Ok);
        disabledWhileEmpty = !logIn->isEnabled();
        dialog->passwordEdit()->setText(QStringLiteral("pw"));
        dialog->accept(); // refused without a user name, however it is asked
        dialog->userEdit()->setText(QStringLiteral("ann"));
        logIn->click();
    });
    const std::optional<LoginAnswer> answer = corvaneLoginDialog(
        &parent, QStringLiteral("Login request alert"), QStringLiteral("The site h asks."), QString());
    EXPECT_TRUE(disabledWhileEmpty);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->user, QStringLiteral("ann"));
    EXPECT_EQ(answer->password, QStringLiteral("pw"));

    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<LoginDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->userEdit()->text(), QStringLiteral("bob")) << "the last user name, filled in";
        dialog->reject();
    });
    EXPECT_FALSE(corvaneLoginDialog(&parent, QStringLiteral("t"), QStringLiteral("x"), QStringLiteral("bob")));
}
