# Writes the compiled-in Unicode tables of unicodetables.h from the Unicode Character Database
# (Debian's package unicode-data). Run by the build as a CMake script, so that it works the same
# on the host of a cross build, where a generator written in C++ would be built for the target:
#
#   cmake -DUNICODE_DIR=/usr/share/unicode -DBZIP2=/usr/bin/bzip2 -DOUTPUT=unicodetables.cpp
#         -P unicodetables.cmake
#
# The source files list their code points in ascending order, and so do the tables.
cmake_minimum_required(VERSION 3.25)

foreach(var UNICODE_DIR BZIP2 OUTPUT)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "unicodetables.cmake: ${var} is not set")
    endif()
endforeach()

# Reads a UCD file whose fields are separated by ";" with "|" in their place: a CMake list
# would otherwise break every line at them.
function(read_fields path out)
    file(READ "${path}" text)
    string(REPLACE ";" "|" text "${text}")
    set(${out} "\n${text}" PARENT_SCOPE)
endfunction()

get_filename_component(output_dir "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${output_dir}")

# Simplified forms: the first one a character lists, unless that is the character itself.
set(variants_text "${OUTPUT}.variants.txt")
execute_process(COMMAND "${BZIP2}" -dc "${UNICODE_DIR}/Unihan_Variants.txt.bz2"
    OUTPUT_FILE "${variants_text}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "unicodetables.cmake: ${BZIP2} could not decompress Unihan_Variants.txt.bz2 (${status})")
endif()
file(STRINGS "${variants_text}" lines REGEX "^U\\+[0-9A-F]+\tkSimplifiedVariant\tU\\+[0-9A-F]+")
file(REMOVE "${variants_text}")
set(variants "")
set(variant_count 0)
foreach(line IN LISTS lines)
    string(REGEX MATCH "^U\\+([0-9A-F]+)\tkSimplifiedVariant\tU\\+([0-9A-F]+)" _ "${line}")
    if(NOT CMAKE_MATCH_1 STREQUAL CMAKE_MATCH_2)
        string(APPEND variants "    {0x${CMAKE_MATCH_1}, 0x${CMAKE_MATCH_2}},\n")
        math(EXPR variant_count "${variant_count} + 1")
    endif()
endforeach()

# Simple case folding: the statuses C (common) and S (simple).
read_fields("${UNICODE_DIR}/CaseFolding.txt" text)
string(REGEX MATCHALL "\n[0-9A-F]+\\| [CS]\\| [0-9A-F]+\\|" lines "${text}")
set(foldings "")
set(folding_count 0)
foreach(line IN LISTS lines)
    string(REGEX MATCH "\n([0-9A-F]+)\\| [CS]\\| ([0-9A-F]+)" _ "${line}")
    string(APPEND foldings "    {0x${CMAKE_MATCH_1}, 0x${CMAKE_MATCH_2}},\n")
    math(EXPR folding_count "${folding_count} + 1")
endforeach()

# Format characters: general category Cf. None of them is given as a range.
read_fields("${UNICODE_DIR}/UnicodeData.txt" text)
string(REGEX MATCHALL "\n[0-9A-F]+\\|[^|\n]*\\|Cf\\|" lines "${text}")
set(formats "")
set(format_count 0)
foreach(line IN LISTS lines)
    string(REGEX MATCH "\n([0-9A-F]+)\\|" _ "${line}")
    string(APPEND formats "    0x${CMAKE_MATCH_1},\n")
    math(EXPR format_count "${format_count} + 1")
endforeach()

foreach(count variant_count folding_count format_count)
    if(${count} EQUAL 0)
        message(FATAL_ERROR "unicodetables.cmake: no entries for ${count} in ${UNICODE_DIR}")
    endif()
endforeach()

set(source "// Written by engine/unicodetables.cmake from ${UNICODE_DIR}; not to be edited.
#include \"unicodetables.h\"

namespace lanshan::unicode {

namespace {

const CodeMapping simplifiedVariantTable[${variant_count}] = {
${variants}};

const CodeMapping caseFoldingTable[${folding_count}] = {
${foldings}};

const char32_t formatCharacterTable[${format_count}] = {
${formats}};

} // namespace

std::span<const CodeMapping> simplifiedVariants()
{
    return simplifiedVariantTable;
}

std::span<const CodeMapping> caseFoldings()
{
    return caseFoldingTable;
}

std::span<const char32_t> formatCharacters()
{
    return formatCharacterTable;
}

} // namespace lanshan::unicode
")
# Rewritten only when changed, so that a new run of the script rebuilds nothing.
file(CONFIGURE OUTPUT "${OUTPUT}" CONTENT "${source}" @ONLY)
