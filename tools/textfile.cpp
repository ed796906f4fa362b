#include "textfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace lanshan {

DecodedText decodeUtf8Text(std::string_view bytes)
{
    DecodedText result;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const std::size_t size = bytes.size();
    std::size_t i = 0;
    if (size >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF)
        i = 3;

    // Size the text exactly before writing it: a unit for each byte that starts a
    // character, two for a four-byte character, and two for a lone CR or LF. Invalid input
    // stops the writing at the first bad sequence, before it can outgrow the count.
    std::size_t units = 0;
    for (std::size_t k = i; k < size; ++k)
        units += static_cast<std::size_t>((p[k] & 0xC0) != 0x80) + static_cast<std::size_t>(p[k] >= 0xF0);
    for (const unsigned char end : {'\n', '\r'}) {
        for (std::size_t k = i; k < size; ++k) {
            const void *hit = std::memchr(p + k, end, size - k);
            if (!hit)
                break;
            k = static_cast<std::size_t>(static_cast<const unsigned char *>(hit) - p);
            if (end == '\n' ? (k == i || p[k - 1] != '\r') : (k + 1 == size || p[k + 1] != '\n'))
                ++units;
        }
    }
    std::u16string &text = result.text;
    text.resize(units);
    char16_t *out = text.data();

    while (i < size) {
        const unsigned char b = p[i];
        if (b < 0x80 && b != '\r' && b != '\n') {
            *out++ = static_cast<char16_t>(b);
            ++i;
            continue;
        }
        if (b == '\r' || b == '\n') {
            *out++ = u'\r';
            *out++ = u'\n';
            i += (b == '\r' && i + 1 < size && p[i + 1] == '\n') ? 2 : 1;
            continue;
        }

        std::size_t length = 0;
        char32_t cp = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
            cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            cp = b & 0x0F;
            if (b == 0xE0)
                low = 0xA0; // overlong
            else if (b == 0xED)
                high = 0x9F; // surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            cp = b & 0x07;
            if (b == 0xF0)
                low = 0x90; // overlong
            else if (b == 0xF4)
                high = 0x8F; // past U+10FFFF
        }
        bool valid = length != 0 && size - i >= length;
        for (std::size_t k = 1; valid && k < length; ++k) {
            const unsigned char c = p[i + k];
            valid = c >= (k == 1 ? low : 0x80) && c <= (k == 1 ? high : 0xBF);
            cp = (cp << 6) | (c & 0x3F);
        }
        if (!valid) {
            result.badOffset = i;
            text.resize(static_cast<std::size_t>(out - text.data()));
            return result;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            *out++ = static_cast<char16_t>(0xD800 + (cp >> 10));
            *out++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            *out++ = static_cast<char16_t>(cp);
        }
        i += length;
    }
    text.resize(static_cast<std::size_t>(out - text.data()));
    return result;
}

std::optional<std::string> readFileBytes(const std::string &path, std::string &error)
{
    struct Closer
    {
        void operator()(std::FILE *f) const { std::fclose(f); }
    };
    errno = 0;
    std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    std::string bytes;
    std::error_code sizeError;
    const auto expected = std::filesystem::file_size(path, sizeError);
    if (!sizeError)
        bytes.reserve(static_cast<std::size_t>(expected));
    char buffer[1 << 16];
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
        bytes.append(buffer, got);
        if (got < sizeof buffer)
            break;
    }
    if (std::ferror(file.get())) {
        error = errno != 0 ? std::strerror(errno) : "read error";
        return std::nullopt;
    }
    return bytes;
}

} // namespace lanshan
