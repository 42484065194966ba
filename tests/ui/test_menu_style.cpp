// The program's menu drawing: our own frame with a shadow, pictures and
// embossed disabled items in style 4; the desktop's frame without pictures
// in style 5; the side title of the window's menu.
#include "ui/MenuStyle.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QPixmap>

#include <gtest/gtest.h>

namespace {

QIcon redSquare()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::red);
    return QIcon(pixmap);
}

struct Menu
{
    Menu()
    {
        cut = menu.addAction(redSquare(), QStringLiteral("Cu&t\tCtrl+X"));
        cut->setIconVisibleInMenu(true);
        paste = menu.addAction(QStringLiteral("&Paste"));
        paste->setEnabled(false);
        menu.ensurePolished();
        menu.adjustSize();
    }
    QImage image() { return menu.grab().toImage(); }
    // The pixels of one item's row, left of x0..x1.
    int countPixels(QAction *action, int x0, int x1, const std::function<bool(QRgb)> &test)
    {
        const QImage img = image();
        const QRect row = menu.actionGeometry(action);
        int n = 0;
        for (int y = row.top(); y <= row.bottom(); ++y)
            for (int x = row.left() + x0; x < qMin(row.left() + x1, img.width()); ++x)
                n += test(img.pixel(x, y)) ? 1 : 0;
        return n;
    }
    QMenu menu;
    QAction *cut = nullptr;
    QAction *paste = nullptr;
};

bool isRed(QRgb p)
{
    return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60;
}

} // namespace

TEST(MenuStyleTest, StyleFourDrawsItsFrameShadowPicturesAndEmbossedText)
{
    MenuStyle *style = MenuStyle::install(4);
    ASSERT_EQ(QApplication::style(), style);
    Menu m;
    EXPECT_EQ(m.menu.contentsMargins(), QMargins(2, 2, 6, 6));
    const QImage img = m.image();
    const QColor menuColour = m.menu.palette().color(QPalette::Window);
    // The shadow: darker than the menu right of it and below it.
    EXPECT_LT(qGray(img.pixel(img.width() - 4, img.height() / 2)), qGray(menuColour.rgb()) - 20);
    EXPECT_LT(qGray(img.pixel(img.width() / 2, img.height() - 4)), qGray(menuColour.rgb()) - 20);
    // The command's picture in the image column.
    EXPECT_GT(m.countPixels(m.cut, 0, 24, isRed), 100);
    // A disabled item: its text embossed, a light copy under the grey one.
    const QRgb light = m.menu.palette().color(QPalette::Light).rgb();
    auto isLight = [light](QRgb p) { return qAbs(qGray(p) - qGray(light)) < 8 && qGray(p) > 230; };
    const QColor disabledText = m.menu.palette().color(QPalette::Disabled, QPalette::WindowText);
    auto isGrey = [disabledText](QRgb p) { return qAbs(qGray(p) - disabledText.value()) < 30; };
    EXPECT_GT(m.countPixels(m.paste, 28, 80, isLight), 5);
    EXPECT_GT(m.countPixels(m.paste, 28, 80, isGrey), 5);
}

TEST(MenuStyleTest, StyleFiveKeepsTheDesktopFrameAndShowsNoPictures)
{
    MenuStyle::install(5);
    Menu m;
    EXPECT_LE(m.menu.contentsMargins().right(), 1) << "no shadow";
    EXPECT_EQ(m.countPixels(m.cut, 0, 24, isRed), 0);
    MenuStyle::install(4);
}

TEST(MenuStyleTest, SideTitleTakesAColumnOfItsOwn)
{
    MenuStyle::install(4);
    Menu m;
    const int plainLeft = m.menu.contentsMargins().left();
    const int plainWidth = m.menu.sizeHint().width();
    MenuStyle::setSideTitle(&m.menu, QStringLiteral("Corvane"));
    EXPECT_EQ(MenuStyle::sideTitle(&m.menu), QStringLiteral("Corvane"));
    const int band = m.menu.contentsMargins().left() - plainLeft;
    EXPECT_GE(band, 16);
    EXPECT_EQ(m.menu.sizeHint().width(), plainWidth + band);
    m.menu.adjustSize();
    // The band in the highlight colour, under the first item.
    const QImage img = m.image();
    const QRgb highlight = m.menu.palette().color(QPalette::Active, QPalette::Highlight).rgb();
    EXPECT_EQ(img.pixel(plainLeft + 1, img.height() - 10), highlight);
    EXPECT_GE(m.menu.actionGeometry(m.cut).left(), plainLeft + band);

    MenuStyle::setSideTitle(&m.menu, QString());
    EXPECT_EQ(m.menu.contentsMargins().left(), plainLeft);
}
