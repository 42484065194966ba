#pragma once

#include <string>
#include <string_view>

namespace corvane {

// An image series walks through numbered JPEG images: from the image a view
// shows, each completed page is followed by the next number, until Stop.
// Started from the Navigate dialog with a text like "*autoscan 2" (add "-np"
// for numbers written without leading zeros).
//
// The number is the run of digits just before the address's ".jpg" (any
// case). Padded, the next number takes at least that run's width with
// leading zeros (img001.jpg: img002.jpg ... img099.jpg, img100.jpg, and on
// to img1000.jpg); unpadded ("-np") it is written as it is (pic7.jpg:
// pic8.jpg ... pic10.jpg). Only the digits change: the text before them and
// the extension's spelling are kept. An address without digits there gets
// the number appended before the extension.
struct ImageSeries
{
    bool active = false;
    bool unpadded = false;        // "-np" was given
    long long nextNumber = 0;     // the number the next step loads
    std::string baseAddress;      // the series' first image; never changes while it runs
};

// True for a Navigate-dialog text that asks for a series: it begins with "*"
// and, lower-cased, contains "autoscan".
bool isImageSeriesRequest(std::string_view dialogText);

enum class ImageSeriesStart {
    Started, // active; load nextImageAddress() now
    NotJpeg, // the shown page is not a ".jpg": tell the user, nothing runs
};

// Starts a series from the dialog text and the address the view shows. The
// first number in the text is the next number to load; a text without digits
// keeps the series' previous number. A number too large to be one is
// capped at kImageSeriesMaxNumber.
ImageSeriesStart startImageSeries(ImageSeries &series, std::string_view dialogText, std::string_view shownAddress);

inline constexpr long long kImageSeriesMaxNumber = 999'999'999'999'999LL;

// The address of the next image, and the number moves on by one. Empty when
// the series is not active.
std::string nextImageAddress(ImageSeries &series);

// Stop ends the series.
inline void stopImageSeries(ImageSeries &series)
{
    series.active = false;
}

inline constexpr const char *kImageSeriesNotJpegTitle = "Invalid file extension";
inline constexpr const char *kImageSeriesNotJpegText = "Make sure the image series you are trying to download are JPGs.";

} // namespace corvane
