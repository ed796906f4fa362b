#pragma once

#include "utf16.h" // appendUtf8, for the files written back

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Plain-text files as the filter's boxes would hold them after a paste.
namespace lanshan {

struct DecodedText
{
    std::u16string text;
    std::optional<std::size_t> badOffset; // byte offset of the first invalid UTF-8 sequence
};

// Strict UTF-8 to UTF-16. A leading byte-order mark is skipped; every CR LF, lone CR or lone
// LF becomes CR LF. Overlong forms, encoded surrogates, values past U+10FFFF and cut-off
// sequences are rejected with their offset.
DecodedText decodeUtf8Text(std::string_view bytes);

// Reads a whole file; on failure, nothing and a one-line reason in error.
std::optional<std::string> readFileBytes(const std::string &path, std::string &error);

} // namespace lanshan
