#pragma once

#include <QString>

#include <string_view>

namespace vorelle {

// The program's own texts are UTF-8 in plain C++; the windows show QStrings.
inline QString ToQString(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace vorelle
