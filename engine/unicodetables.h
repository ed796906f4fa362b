#pragma once

#include <span>

// Character data from the Unicode Character Database and OpenCC, written into the build by
// unicodetables.cmake. Every table is in ascending order of its first column.
namespace lanshan::unicode {

struct CodeMapping
{
    char32_t from;
    char32_t to;
};

// Traditional characters and their simplified forms: OpenCC's first choice (TSCharacters, then
// the traditional side of STCharacters), else Unihan's kSimplifiedVariant. Also the rarer
// simplified forms OpenCC never writes, to the one it writes for their traditional form. Each
// maps straight to a character the table does not map, so folding twice equals folding once.
std::span<const CodeMapping> simplifiedVariants();
// Simple case folding (CaseFolding.txt, statuses C and S).
std::span<const CodeMapping> caseFoldings();
// The format characters, general category Cf: invisible, yet part of the text.
std::span<const char32_t> formatCharacters();

} // namespace lanshan::unicode
