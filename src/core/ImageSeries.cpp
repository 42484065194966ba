#include "core/ImageSeries.h"

#include "core/SectionedFile.h"

#include <algorithm>

namespace corvane {

namespace {

constexpr std::string_view kJpegSuffix = ".jpg";

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool endsWithJpeg(std::string_view address)
{
    return address.size() >= kJpegSuffix.size()
           && sectioned::toLowerAscii(address.substr(address.size() - kJpegSuffix.size())) == kJpegSuffix;
}

} // namespace

bool isImageSeriesRequest(std::string_view dialogText)
{
    return !dialogText.empty() && dialogText.front() == '*'
           && sectioned::toLowerAscii(dialogText).find("autoscan") != std::string::npos;
}

ImageSeriesStart startImageSeries(ImageSeries &series, std::string_view dialogText, std::string_view shownAddress)
{
    const std::string text = sectioned::toLowerAscii(dialogText);
    series.unpadded = text.find("-np") != std::string::npos;

    const auto digit = std::find_if(text.begin(), text.end(), isDigit);
    if (digit != text.end()) {
        long long n = 0;
        for (auto it = digit; it != text.end() && isDigit(*it); ++it)
            n = std::min(n * 10 + (*it - '0'), kImageSeriesMaxNumber);
        series.nextNumber = n;
    }

    if (!endsWithJpeg(shownAddress)) {
        series.baseAddress.clear();
        series.active = false;
        return ImageSeriesStart::NotJpeg;
    }
    series.baseAddress = std::string(shownAddress);
    series.active = true;
    return ImageSeriesStart::Started;
}

std::string nextImageAddress(ImageSeries &series)
{
    if (!series.active || !endsWithJpeg(series.baseAddress))
        return {};

    const std::string_view base = series.baseAddress;
    const std::size_t extension = base.size() - kJpegSuffix.size();
    std::size_t digits = extension;
    while (digits > 0 && isDigit(base[digits - 1]))
        --digits;

    std::string number = std::to_string(series.nextNumber);
    const std::size_t width = extension - digits;
    if (!series.unpadded && number.size() < width)
        number.insert(0, width - number.size(), '0');

    if (series.nextNumber < kImageSeriesMaxNumber)
        ++series.nextNumber;
    return std::string(base.substr(0, digits)) + number + std::string(base.substr(extension));
}

} // namespace corvane
