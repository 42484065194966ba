// The colour button: its colours, the colour dialog, the keys, the drawing.
#include "ui/ColorButton.h"

#include "support/ModalDialog.h"

#include <QColorDialog>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QColor swatchCentre(ColorButton &button)
{
    const QImage image = button.grab().toImage();
    const QPoint centre = button.swatchRect().center() * image.devicePixelRatio();
    return image.pixelColor(centre);
}

} // namespace

TEST(ColorButton, AutomaticShowsTheDefaultColourUntilOneIsSet)
{
    ColorButton button;
    EXPECT_EQ(button.color(), kAutomaticColour);
    EXPECT_EQ(button.shownColor(), button.defaultColor());
    button.resize(button.sizeHint());
    button.show();
    EXPECT_EQ(swatchCentre(button).rgb(), button.defaultColor().rgb());

    // Set before the window exists, or while shown: drawn at once.
    ColorButton hidden;
    hidden.setColor(makeRgb(10, 20, 30));
    EXPECT_EQ(hidden.color(), makeRgb(10, 20, 30));
    button.setColor(makeRgb(255, 0, 0));
    EXPECT_EQ(swatchCentre(button).rgb(), QColor(255, 0, 0).rgb());

    // Disabled: the arrow and divider stay, the swatch goes.
    button.setEnabled(false);
    EXPECT_TRUE(button.swatchRect().isEmpty());
    EXPECT_NE(swatchCentre(button).rgb(), QColor(255, 0, 0).rgb());
}

TEST(ColorButton, ClickOpensTheFullColourDialogOnTheCurrentColour)
{
    ColorButton button;
    button.setColor(makeRgb(0, 255, 0));
    button.show();

    bool ran = false;
    onNextModal<QColorDialog>(
        [](QColorDialog &dialog) {
            EXPECT_EQ(dialog.currentColor(), QColor(0, 255, 0));
            EXPECT_TRUE(dialog.testOption(QColorDialog::DontUseNativeDialog)) << "custom colours shown";
            dialog.setCurrentColor(QColor(12, 34, 56));
            dialog.accept();
        },
        &ran);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_TRUE(ran);
    EXPECT_EQ(button.color(), makeRgb(12, 34, 56));

    // Cancel leaves the colour; Space, F4 and Alt+Down open the dialog too.
    for (const auto &[key, modifiers] : {std::pair{Qt::Key_Space, Qt::NoModifier}, std::pair{Qt::Key_F4, Qt::NoModifier},
                                         std::pair{Qt::Key_Down, Qt::AltModifier}}) {
        ran = false;
        onNextModal<QColorDialog>(
            [](QColorDialog &dialog) {
                dialog.setCurrentColor(QColor(200, 200, 200));
                dialog.reject();
            },
            &ran);
        button.setFocus();
        QTest::keyClick(&button, key, modifiers);
        EXPECT_TRUE(ran) << key;
        EXPECT_EQ(button.color(), makeRgb(12, 34, 56)) << key;
    }
}

TEST(ColorButton, ArrowAndDividerRightOfTheSwatchGreyedWhenDisabled)
{
    ColorButton button;
    button.resize(button.sizeHint());
    button.setColor(makeRgb(0, 0, 255));
    button.show();

    const QPolygon arrow = button.arrow();
    const QRect box = arrow.boundingRect();
    EXPECT_EQ(box.width(), 5) << "4 pixels wide between its corners";
    EXPECT_EQ(box.height(), 3) << "2 pixels high";
    EXPECT_EQ(arrow.point(0).y(), arrow.point(1).y()) << "flat side up";
    EXPECT_GT(arrow.point(2).y(), arrow.point(0).y()) << "pointing down";
    const QRect swatch = button.swatchRect();
    EXPECT_LT(swatch.right(), button.dividerX());
    EXPECT_LT(button.dividerX(), box.left());

    const QPoint tip = arrow.point(2);
    const QPoint topEdge((arrow.point(0).x() + arrow.point(1).x()) / 2, arrow.point(0).y());
    const QPoint divider(button.dividerX(), box.center().y());
    QImage image = button.grab().toImage();
    EXPECT_EQ(image.pixelColor(tip), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(topEdge), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(divider).rgb(), button.palette().color(QPalette::Dark).rgb());
    EXPECT_EQ(image.pixelColor(swatch.topLeft()), QColor(Qt::black)) << "the swatch's frame";
    EXPECT_EQ(image.pixelColor(swatch.center()), QColor(0, 0, 255));

    button.setEnabled(false);
    image = button.grab().toImage();
    const QColor grey = button.palette().color(QPalette::Disabled, QPalette::Text);
    EXPECT_EQ(image.pixelColor(tip).rgb(), grey.rgb());
    EXPECT_EQ(image.pixelColor(divider).rgb(), button.palette().color(QPalette::Dark).rgb());
    EXPECT_NE(image.pixelColor(swatch.center()), QColor(0, 0, 255)) << "no swatch";
    EXPECT_EQ(button.color(), makeRgb(0, 0, 255)) << "the colour is kept";
}
