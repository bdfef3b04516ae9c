// The engine's UTF-8 texts as Qt strings, without a copy into std::string first.
#pragma once

#include <QString>

#include <string_view>

namespace lorvane {

inline QString ToQString(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace lorvane
