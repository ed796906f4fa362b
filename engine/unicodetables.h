#pragma once

#include <span>

// Character data from the Unicode Character Database, written into the build by
// unicodetables.cmake. Every table is in ascending order of its first column.
namespace lanshan::unicode {

struct CodeMapping
{
    char32_t from;
    char32_t to;
};

// Traditional characters and their simplified forms (Unihan's kSimplifiedVariant).
std::span<const CodeMapping> simplifiedVariants();
// Simple case folding (CaseFolding.txt, statuses C and S).
std::span<const CodeMapping> caseFoldings();
// The format characters, general category Cf: invisible, yet part of the text.
std::span<const char32_t> formatCharacters();

} // namespace lanshan::unicode
