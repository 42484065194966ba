#include "core/ImageSeries.h"

#include <gtest/gtest.h>

#include <vector>

using namespace corvane;

namespace {

std::vector<std::string> steps(ImageSeries &series, int count)
{
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i)
        out.push_back(nextImageAddress(series));
    return out;
}

} // namespace

TEST(ImageSeries, RequestTextFromTheNavigateDialog)
{
    EXPECT_TRUE(isImageSeriesRequest("*AutoScan 2"));
    EXPECT_TRUE(isImageSeriesRequest("* autoscan -np 8"));
    EXPECT_FALSE(isImageSeriesRequest("autoscan 2"));
    EXPECT_FALSE(isImageSeriesRequest("*scan"));
    EXPECT_FALSE(isImageSeriesRequest(""));
}

TEST(ImageSeries, PaddedNumbersKeepTheirWidthAndGrowPastIt)
{
    ImageSeries s;
    ASSERT_EQ(startImageSeries(s, "*autoscan 2", "http://h/img001.jpg"), ImageSeriesStart::Started);
    EXPECT_EQ(steps(s, 2), (std::vector<std::string>{"http://h/img002.jpg", "http://h/img003.jpg"}));

    s.nextNumber = 99;
    EXPECT_EQ(steps(s, 2), (std::vector<std::string>{"http://h/img099.jpg", "http://h/img100.jpg"}));
    // More digits than the base's number: the number grows, "img" stays.
    s.nextNumber = 999;
    EXPECT_EQ(steps(s, 2), (std::vector<std::string>{"http://h/img999.jpg", "http://h/img1000.jpg"}));

    ImageSeries single;
    startImageSeries(single, "*autoscan 9", "http://h/pic7.jpg");
    EXPECT_EQ(steps(single, 2), (std::vector<std::string>{"http://h/pic9.jpg", "http://h/pic10.jpg"}));
}

TEST(ImageSeries, UnpaddedReplacesTheWholeNumber)
{
    ImageSeries s;
    ASSERT_EQ(startImageSeries(s, "*autoscan -np 8", "http://h/pic7.jpg"), ImageSeriesStart::Started);
    EXPECT_TRUE(s.unpadded);
    EXPECT_EQ(steps(s, 4), (std::vector<std::string>{"http://h/pic8.jpg", "http://h/pic9.jpg",
                                                     "http://h/pic10.jpg", "http://h/pic11.jpg"}));
    // A base with a two-digit number, and one with none.
    ImageSeries two;
    startImageSeries(two, "*autoscan -np 13", "http://h/pic12.jpg");
    EXPECT_EQ(nextImageAddress(two), "http://h/pic13.jpg");
    ImageSeries none;
    startImageSeries(none, "*autoscan 5", "http://h/photo.jpg");
    EXPECT_EQ(nextImageAddress(none), "http://h/photo5.jpg");
}

TEST(ImageSeries, OnlyJpgAddressesInAnyCase)
{
    ImageSeries s;
    ASSERT_EQ(startImageSeries(s, "*autoscan 2", "http://h/IMG001.JPG"), ImageSeriesStart::Started);
    EXPECT_EQ(nextImageAddress(s), "http://h/IMG002.JPG"); // the server's own spelling

    ImageSeries jpeg;
    EXPECT_EQ(startImageSeries(jpeg, "*autoscan 2", "http://h/img001.jpeg"), ImageSeriesStart::NotJpeg);
    EXPECT_FALSE(jpeg.active);
    EXPECT_TRUE(jpeg.baseAddress.empty());
    EXPECT_EQ(nextImageAddress(jpeg), "");
    EXPECT_EQ(startImageSeries(jpeg, "*autoscan 2", "jpg"), ImageSeriesStart::NotJpeg);
}

TEST(ImageSeries, NumberFromTheTextOrKeptAndStop)
{
    ImageSeries s;
    startImageSeries(s, "*autoscan 4", "http://h/a01.jpg");
    nextImageAddress(s);
    // No digit in the text: the series goes on from where it was.
    startImageSeries(s, "*autoscan", "http://h/a01.jpg");
    EXPECT_EQ(nextImageAddress(s), "http://h/a05.jpg");
    // Far too many digits are capped, not wrapped.
    startImageSeries(s, "*autoscan 99999999999999999999999", "http://h/a01.jpg");
    EXPECT_EQ(s.nextNumber, kImageSeriesMaxNumber);
    EXPECT_EQ(nextImageAddress(s), "http://h/a" + std::to_string(kImageSeriesMaxNumber) + ".jpg");

    stopImageSeries(s);
    EXPECT_EQ(nextImageAddress(s), "");
}
