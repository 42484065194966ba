#pragma once

#include "core/StoredText.h"

#include <QString>

#include <string>
#include <string_view>

// The one road between a stored text (a setting, a list entry, a .url file,
// anything from the Windows world) and a QString, through the core's
// decode / encode pair: UTF-8, else Windows-1252, never U+FFFD. A Qt layer
// never reads a stored value with QString::fromStdString or fromUtf8, which
// would turn a Windows-era entry into replacement characters and write them
// back at the next save.
namespace corvane {

inline QString fromStoredText(std::string_view bytes)
{
    const std::string utf8 = decodeStoredText(bytes);
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

inline std::string toStoredText(const QString &text)
{
    return encodeStoredText(text.toStdString());
}

} // namespace corvane
