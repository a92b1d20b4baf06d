#include "app/shell/Windows1252.h"

#include <array>

namespace kelvane {

namespace {

// 0x80 .. 0x9F; the five bytes the code page leaves open map to the C1
// control of the same number, as Windows itself does.
constexpr std::array<char16_t, 32> High = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                           0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

QString FromWindows1252(std::string_view bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = QChar(byte >= 0x80 && byte < 0xA0 ? High[byte - 0x80] : char16_t{byte});
    }
    return text;
}

std::string ToWindows1252(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes += static_cast<char>(u);
            continue;
        }
        char mapped = '?';
        for (std::size_t i = 0; i < High.size(); ++i)
            if (High[i] == u) mapped = static_cast<char>(0x80 + i);
        bytes += mapped;
    }
    return bytes;
}

}  // namespace kelvane
