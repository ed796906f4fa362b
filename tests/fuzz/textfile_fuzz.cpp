// libFuzzer target: the reorder tool's file decoding and its output encoding, on any bytes.
//
// decodeUtf8Text is checked against a plain decoder written here from the rules of UTF-8
// (the shortest form only, no surrogates, nothing past U+10FFFF):
// - a bad offset is that of the first sequence the plain decoder refuses;
// - valid input decodes to the same characters, every line end made CR LF, and appendUtf8
//   gives the input back with its line ends made CR LF (and without a leading byte-order mark);
// - the text has no CR without an LF after it and no LF without a CR before it.
// The same bytes, read as UTF-16 units, go through appendUtf8 and back through
// decodeUtf8Text: lone surrogates come back as U+FFFD and nothing else changes but line ends.

#include "textfile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

using lanshan::appendUtf8;
using lanshan::decodeUtf8Text;

[[noreturn]] void fail(const char *what, std::string_view bytes)
{
    std::fprintf(stderr, "text file decoding: %s; input of %zu bytes:", what, bytes.size());
    for (unsigned char b : bytes)
        std::fprintf(stderr, " %02x", b);
    std::fprintf(stderr, "\n");
    std::abort();
}

struct CodePoint
{
    char32_t value;
    std::size_t length;
};

// The well-formed UTF-8 sequence at bytes[at], or nothing.
std::optional<CodePoint> plainDecode(std::string_view bytes, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80)
        return CodePoint{lead, 1};
    // Lead byte 110xxxxx, 1110xxxx or 11110xxx: the length, the value bits it carries, and
    // the smallest value that needs that length.
    std::size_t length = 0;
    if (lead >> 5 == 0x6)
        length = 2;
    else if (lead >> 4 == 0xE)
        length = 3;
    else if (lead >> 3 == 0x1E)
        length = 4;
    else
        return std::nullopt;
    char32_t value = lead & (0x7F >> length);
    const char32_t smallest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    if (bytes.size() - at < length)
        return std::nullopt;
    for (std::size_t k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(bytes[at + k]);
        if (c >> 6 != 0x2)
            return std::nullopt;
        value = value << 6 | (c & 0x3F);
    }
    if (value < smallest || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF)
        return std::nullopt;
    return CodePoint{value, length};
}

// Every CR LF, lone CR and lone LF as CR LF.
template<class String>
String crLfLineEnds(const String &text)
{
    String out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += '\r';
            out += '\n';
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool lineEndsPaired(std::u16string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'))
            return false;
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r'))
            return false;
    }
    return true;
}

void checkDecoding(std::string_view bytes)
{
    const lanshan::DecodedText decoded = decodeUtf8Text(bytes);
    if (!lineEndsPaired(decoded.text))
        fail("a CR or LF is left unpaired", bytes);

    const std::size_t start = bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    std::u16string plain;
    std::optional<std::size_t> firstBad;
    for (std::size_t i = start; i < bytes.size();) {
        const std::optional<CodePoint> cp = plainDecode(bytes, i);
        if (!cp) {
            firstBad = i;
            break;
        }
        if (cp->value >= 0x10000) {
            plain += static_cast<char16_t>(0xD800 + ((cp->value - 0x10000) >> 10));
            plain += static_cast<char16_t>(0xDC00 + ((cp->value - 0x10000) & 0x3FF));
        } else {
            plain += static_cast<char16_t>(cp->value);
        }
        i += cp->length;
    }
    if (decoded.badOffset != firstBad)
        fail(firstBad ? "the first invalid sequence is missed or misplaced" : "valid input is refused", bytes);
    if (firstBad)
        return;
    if (decoded.text != crLfLineEnds(plain))
        fail("the text differs from the plain decoding", bytes);
    std::string encoded;
    appendUtf8(encoded, decoded.text);
    if (encoded != crLfLineEnds(std::string(bytes.substr(start))))
        fail("valid input does not come back from appendUtf8", bytes);
}

void checkEncoding(std::string_view bytes)
{
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        units +=
            static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
    std::string encoded;
    appendUtf8(encoded, units);

    std::u16string expected;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t c = units[i];
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            expected += c;
            expected += units[++i];
        } else {
            expected += (c >= 0xD800 && c <= 0xDFFF) ? u'\uFFFD' : c;
        }
    }
    if (expected.starts_with(u'\uFEFF'))
        expected.erase(0, 1); // read back as a byte-order mark
    const lanshan::DecodedText decoded = decodeUtf8Text(encoded);
    if (decoded.badOffset)
        fail("appendUtf8 wrote invalid UTF-8 for the input as UTF-16", bytes);
    if (decoded.text != crLfLineEnds(expected))
        fail("UTF-16 does not come back through appendUtf8 and decodeUtf8Text", bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    checkDecoding(bytes);
    checkEncoding(bytes);
    return 0;
}
