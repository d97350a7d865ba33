#include "base/TextCodec.h"

namespace lorvane {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Windows-1252 bytes 0x80..0x9F; undefined bytes keep their own value.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

std::u32string DecodeCp1252(const std::uint8_t* bytes, std::size_t count) {
    std::u32string out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t b = bytes[i];
        out.push_back(b >= 0x80 && b <= 0x9F ? kCp1252High[b - 0x80] : char32_t{b});
    }
    return out;
}

std::u32string DecodeUtf16(const std::uint8_t* bytes, std::size_t count, bool bigEndian) {
    std::u32string out;
    const std::size_t units = count / 2;
    out.reserve(units);
    auto unitAt = [&](std::size_t i) -> char32_t {
        const std::uint8_t a = bytes[2 * i];
        const std::uint8_t b = bytes[2 * i + 1];
        return bigEndian ? char32_t((a << 8) | b) : char32_t((b << 8) | a);
    };
    for (std::size_t i = 0; i < units; ++i) {
        const char32_t u = unitAt(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            const char32_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                out.push_back(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        out.push_back(u >= 0xD800 && u <= 0xDFFF ? kReplacement : u);
    }
    return out;
}

std::u32string DecodeUtf8(std::string_view text) {
    // Every maximal ill-formed subsequence becomes one U+FFFD, the replacement practice
    // the Unicode standard recommends and common decoders follow.
    std::u32string out;
    out.reserve(text.size());
    const auto* p = reinterpret_cast<const std::uint8_t*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const std::uint8_t b = p[i];
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        int extra = 0;
        char32_t cp = 0;
        // The range allowed for the second byte excludes overlongs and surrogates.
        std::uint8_t low = 0x80;
        std::uint8_t high = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            extra = 1, cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2, cp = b & 0x0F;
            low = b == 0xE0 ? 0xA0 : 0x80;
            high = b == 0xED ? 0x9F : 0xBF;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3, cp = b & 0x07;
            low = b == 0xF0 ? 0x90 : 0x80;
            high = b == 0xF4 ? 0x8F : 0xBF;
        } else {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        std::size_t k = 1;
        for (; k <= static_cast<std::size_t>(extra) && i + k < n; ++k) {
            const std::uint8_t c = p[i + k];
            const std::uint8_t lowest = k == 1 ? low : 0x80;
            const std::uint8_t highest = k == 1 ? high : 0xBF;
            if (c < lowest || c > highest) {
                break;
            }
            cp = (cp << 6) | (c & 0x3F);
        }
        if (k <= static_cast<std::size_t>(extra)) {
            out.push_back(kReplacement); // the valid prefix read so far
            i += k;
            continue;
        }
        out.push_back(cp);
        i += k;
    }
    return out;
}

std::string EncodeUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            c = kReplacement;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::u16string EncodeUtf16(std::u32string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            c = kReplacement;
        }
        if (c < 0x10000) {
            out.push_back(static_cast<char16_t>(c));
        } else {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        }
    }
    return out;
}

std::u32string TrimControl(std::u32string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && text[first] <= 0x20) {
        ++first;
    }
    while (last > first && text[last - 1] <= 0x20) {
        --last;
    }
    return std::u32string(text.substr(first, last - first));
}

std::string TrimControlUtf8(std::string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= 0x20) {
        ++first;
    }
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= 0x20) {
        --last;
    }
    return std::string(text.substr(first, last - first));
}

bool FitsLatin1Text(std::u32string_view text) {
    for (char32_t c : text) {
        if (c > 0xFF || (c >= 0x80 && c <= 0x9F)) {
            return false;
        }
    }
    return true;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

} // namespace lorvane
