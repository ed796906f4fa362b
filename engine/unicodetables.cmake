# Writes the compiled-in Unicode tables of unicodetables.h from the Unicode Character Database
# (Debian's package unicode-data) and OpenCC's character tables (libopencc1.1, as text written by
# the host's opencc_dict). Run by the build as a CMake script, so that it works the same on the
# host of a cross build, where a generator written in C++ would be built for the target:
#
#   cmake -DUNICODE_DIR=/usr/share/unicode -DBZIP2=/usr/bin/bzip2
#         -DOPENCC_TS=TSCharacters.txt -DOPENCC_ST=STCharacters.txt -DOUTPUT=unicodetables.cpp
#         -P unicodetables.cmake
#
# The UCD files list their code points in ascending order; the variants are sorted here.
cmake_minimum_required(VERSION 3.25)

foreach(var UNICODE_DIR BZIP2 OPENCC_TS OPENCC_ST OUTPUT)
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

# Code points of the variant table are six upper-case hex digits, so that sorting the strings
# sorts the numbers.
function(pad_code hex out)
    string(LENGTH "${hex}" length)
    math(EXPR missing "6 - ${length}")
    string(REPEAT "0" ${missing} zeros)
    set(${out} "${zeros}${hex}" PARENT_SCOPE)
endfunction()

# The code point of text if it is exactly one UTF-8 character, else empty. CMake has no such
# function: the bytes are taken apart in hex.
function(code_point text out)
    string(HEX "${text}" bytes)
    set(x "([89ab][0-9a-f])") # a continuation byte
    if(bytes MATCHES "^([c-d][0-9a-f])${x}$")
        set(expr "(0x${CMAKE_MATCH_1} & 0x1F) << 6 | (0x${CMAKE_MATCH_2} & 0x3F)")
    elseif(bytes MATCHES "^(e[0-9a-f])${x}${x}$")
        set(expr "(0x${CMAKE_MATCH_1} & 0xF) << 12 | (0x${CMAKE_MATCH_2} & 0x3F) << 6 | (0x${CMAKE_MATCH_3} & 0x3F)")
    elseif(bytes MATCHES "^(f[0-4])${x}${x}${x}$")
        set(expr "(0x${CMAKE_MATCH_1} & 0x7) << 18 | (0x${CMAKE_MATCH_2} & 0x3F) << 12 | (0x${CMAKE_MATCH_3} & 0x3F) << 6 | (0x${CMAKE_MATCH_4} & 0x3F)")
    else()
        set(${out} "" PARENT_SCOPE) # ASCII or several characters: no variant of a Chinese one
        return()
    endif()
    math(EXPR value "${expr}" OUTPUT_FORMAT HEXADECIMAL)
    string(TOUPPER "${value}" value)
    string(SUBSTRING "${value}" 2 -1 value)
    pad_code("${value}" value)
    set(${out} "${value}" PARENT_SCOPE)
endfunction()

# Reads an opencc_dict text dump: per line a character, a TAB and its candidates separated by
# spaces. Sets <prefix>_keys to the characters' codes and <prefix>_<code> to the candidates'.
macro(read_opencc path prefix)
    if(NOT EXISTS "${path}")
        message(FATAL_ERROR "unicodetables.cmake: ${path} is missing")
    endif()
    file(STRINGS "${path}" lines ENCODING UTF-8)
    set(${prefix}_keys "")
    foreach(line IN LISTS lines)
        string(FIND "${line}" "\t" tab)
        if(tab LESS 1)
            continue()
        endif()
        string(SUBSTRING "${line}" 0 ${tab} key)
        code_point("${key}" key)
        if(key STREQUAL "")
            continue()
        endif()
        math(EXPR tab "${tab} + 1")
        string(SUBSTRING "${line}" ${tab} -1 candidates)
        string(REPLACE " " ";" candidates "${candidates}")
        set(${prefix}_${key} "")
        foreach(candidate IN LISTS candidates)
            code_point("${candidate}" candidate)
            if(NOT candidate STREQUAL "")
                list(APPEND ${prefix}_${key} ${candidate})
            endif()
        endforeach()
        if(NOT "${${prefix}_${key}}" STREQUAL "")
            list(APPEND ${prefix}_keys ${key})
        endif()
    endforeach()
    if("${${prefix}_keys}" STREQUAL "")
        message(FATAL_ERROR "unicodetables.cmake: no characters in ${path}")
    endif()
endmacro()

# Sets from's simplified form unless it has one (an earlier source wins) or to leads back to
# from, itself included: every chain then ends, and its end is the canonical form.
macro(add_variant from to)
    if(NOT DEFINED variant_${from})
        set(end "${to}")
        while(DEFINED variant_${end})
            set(end "${variant_${end}}")
        endwhile()
        if(NOT end STREQUAL "${from}")
            set(variant_${from} "${to}")
            list(APPEND variant_keys ${from})
        endif()
    endif()
endmacro()

get_filename_component(output_dir "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${output_dir}")

# Simplified forms, OpenCC's before Unihan's, which lack many that OpenCC has (乾, 鷄, 録).
set(variant_keys "")
read_opencc("${OPENCC_TS}" ts)
read_opencc("${OPENCC_ST}" st)
# TSCharacters: a traditional character's first simplified candidate, the one OpenCC writes.
foreach(trad IN LISTS ts_keys)
    list(GET ts_${trad} 0 simplified)
    add_variant(${trad} ${simplified})
    set(written_${simplified} TRUE)
endforeach()
# STCharacters: each traditional candidate of a simplified character.
foreach(simplified IN LISTS st_keys)
    foreach(trad IN LISTS st_${simplified})
        add_variant(${trad} ${simplified})
    endforeach()
endforeach()
# A simplified character that OpenCC never writes (锺, 𫔀: rarer forms beside 钟, 炼) goes where
# its first traditional form goes, so that it matches that form.
foreach(simplified IN LISTS st_keys)
    if(NOT DEFINED written_${simplified})
        list(GET st_${simplified} 0 trad)
        add_variant(${simplified} ${trad})
    endif()
endforeach()
# Unihan: the first simplified form a character lists.
set(variants_text "${OUTPUT}.variants.txt")
execute_process(COMMAND "${BZIP2}" -dc "${UNICODE_DIR}/Unihan_Variants.txt.bz2"
    OUTPUT_FILE "${variants_text}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "unicodetables.cmake: ${BZIP2} could not decompress Unihan_Variants.txt.bz2 (${status})")
endif()
file(STRINGS "${variants_text}" lines REGEX "^U\\+[0-9A-F]+\tkSimplifiedVariant\tU\\+[0-9A-F]+")
file(REMOVE "${variants_text}")
foreach(line IN LISTS lines)
    string(REGEX MATCH "^U\\+([0-9A-F]+)\tkSimplifiedVariant\tU\\+([0-9A-F]+)" _ "${line}")
    pad_code(${CMAKE_MATCH_1} trad)
    pad_code(${CMAKE_MATCH_2} simplified)
    add_variant(${trad} ${simplified})
endforeach()
# Each character straight to the end of its chain, so that folding twice changes nothing more.
list(SORT variant_keys)
set(variants "")
list(LENGTH variant_keys variant_count)
foreach(from IN LISTS variant_keys)
    set(to "${variant_${from}}")
    while(DEFINED variant_${to})
        set(to "${variant_${to}}")
    endwhile()
    string(APPEND variants "    {0x${from}, 0x${to}},\n")
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

set(source "// Written by engine/unicodetables.cmake from ${UNICODE_DIR}, ${OPENCC_TS} and ${OPENCC_ST};
// not to be edited.
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
