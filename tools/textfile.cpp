#include "textfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace lanshan {

namespace {

void appendLineEnd(std::u16string &out)
{
    out += u'\r';
    out += u'\n';
}

} // namespace

DecodedText decodeUtf8Text(std::string_view bytes)
{
    DecodedText result;
    std::u16string &out = result.text;
    out.reserve(bytes.size() + bytes.size() / 8);

    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const std::size_t size = bytes.size();
    std::size_t i = 0;
    if (size >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF)
        i = 3;

    while (i < size) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            if (b == '\r') {
                appendLineEnd(out);
                i += (i + 1 < size && p[i + 1] == '\n') ? 2 : 1;
            } else if (b == '\n') {
                appendLineEnd(out);
                ++i;
            } else {
                out += static_cast<char16_t>(b);
                ++i;
            }
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
        } else {
            result.badOffset = i;
            return result;
        }
        if (size - i < length) {
            result.badOffset = i;
            return result;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const unsigned char c = p[i + k];
            const unsigned char lo = k == 1 ? low : 0x80;
            const unsigned char hi = k == 1 ? high : 0xBF;
            if (c < lo || c > hi) {
                result.badOffset = i;
                return result;
            }
            cp = (cp << 6) | (c & 0x3F);
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        i += length;
    }
    return result;
}

void appendUtf8(std::string &out, std::u16string_view text)
{
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size; ++i) {
        char32_t c = text[i];
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        if (c >= 0xD800 && c <= 0xDFFF) {
            if (c <= 0xDBFF && i + 1 < size && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
                ++i;
            } else {
                c = 0xFFFD;
            }
        }
        if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        }
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
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
