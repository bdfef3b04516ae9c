// The engine's UTF-8 texts as Qt strings, without a copy into std::string first;
// and paths that come from Qt (dialogs, drops) as the file system's bytes.
#pragma once

#include <QFile>
#include <QString>

#include <string>
#include <string_view>

namespace lorvane {

inline QString ToQString(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Only for a path that exists nowhere but as Qt text (a dialog's answer, a typed
// path). A path from a listing stays the bytes it was; decoding it for display and
// encoding it back would name another file when it is not valid UTF-8.
inline std::string PathFromQString(const QString& s) { return QFile::encodeName(s).toStdString(); }

}  // namespace lorvane
