// Files named by bytes, which need not be UTF-8: Qt would decode such a name to
// U+FFFD and so name another file.
#pragma once

#include <QTest>

#include <cstdio>
#include <string>

namespace lorvane::testing {

inline void writeBytes(const std::string& path, const std::string& content) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    QVERIFY(f);
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
}

// The file's content, or "-" when there is no such file.
inline std::string readBytes(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return "-";
    std::string s;
    char buf[256];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) s.append(buf, n);
    std::fclose(f);
    return s;
}

}  // namespace lorvane::testing
