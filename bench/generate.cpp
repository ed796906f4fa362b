// generate: the input files of the reorder benchmark.
//
//   generate [--near-misses] N M KEYS_OUT DATA_OUT [SEED]
//
// Writes N key lines (distinct Chinese names, 2 or 3 characters) and M data rows of 8
// TAB-separated columns: the name, five scores (0-100, some with one decimal), an overall
// grade (优秀/良好/及格/不及格) and a letter grade (A/B/C). Of the keys, about 10% have no row,
// about 1% have two rows (same name, different scores) and the others exactly one row; the
// rows left over carry names that are not among the keys. With --near-misses the keys without
// a row get a row that is near them instead (see datagen.h), for the reconciliation report.
// Rows and keys are each shuffled. UTF-8 without BOM, every line ended by LF. The same arguments always give the same
// bytes (see datagen.h, shared with window_bench).
//
//   generate --family=F1..F10 SCALE KEYS_OUT DATA_OUT [SEED]
//
// Writes one of the inputs made to let the --explain report cost far more than the filter
// (see generateHostile in datagen.h), its sizes times SCALE (1, 10, or 0.1 for a quick look).

#include "datagen.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <system_error>

namespace {

const char usage[] = "usage: generate [--near-misses] N M KEYS_OUT DATA_OUT [SEED]\n"
                     "       generate --family=F1..F10 SCALE KEYS_OUT DATA_OUT [SEED]\n"
                     "  N keys and M rows; SEED (default 1) fixes the content; --near-misses gives the keys\n"
                     "  without a row a near miss; --family writes a hostile input for the report, its sizes\n"
                     "  times SCALE\n";

bool parseCount(const char *text, std::uint64_t &value)
{
    const char *end = text + std::strlen(text);
    const auto [ptr, error] = std::from_chars(text, end, value);
    return error == std::errc() && ptr == end && ptr != text;
}

bool parseScale(const char *text, double &value)
{
    const char *end = text + std::strlen(text);
    const auto [ptr, error] = std::from_chars(text, end, value);
    return error == std::errc() && ptr == end && ptr != text && value > 0;
}

// "F3" or "3".
bool parseFamily(const char *text, int &family)
{
    if (*text == 'F' || *text == 'f')
        ++text;
    const char *end = text + std::strlen(text);
    const auto [ptr, error] = std::from_chars(text, end, family);
    return error == std::errc() && ptr == end && ptr != text;
}

bool writeFile(const char *path, const std::string &bytes)
{
    std::FILE *file = std::fopen(path, "wb");
    if (!file) {
        std::fprintf(stderr, "generate: cannot open %s: %s\n", path, std::strerror(errno));
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        std::fprintf(stderr, "generate: cannot write %s\n", path);
        return false;
    }
    return true;
}

int writeFamily(int argc, char **argv)
{
    int family = 0;
    double scale = 0;
    std::uint64_t seed = 1;
    // argv[0] is the --family option.
    if ((argc != 4 && argc != 5) || !parseFamily(argv[0] + 9, family) || !parseScale(argv[1], scale)
        || (argc == 5 && !parseCount(argv[4], seed))) {
        std::fputs(usage, stderr);
        return 2;
    }
    lanshan::bench::GeneratedData data;
    std::string error;
    if (!lanshan::bench::generateHostile(family, scale, seed, data, error)) {
        std::fprintf(stderr, "generate: %s\n", error.c_str());
        return 2;
    }
    if (!writeFile(argv[2], data.keys) || !writeFile(argv[3], data.rows))
        return 1;
    std::fprintf(
        stderr,
        "generate: family F%d at scale %g: %llu key lines (%zu bytes), data rows: %llu (%zu bytes), seed %llu\n",
        family, scale, static_cast<unsigned long long>(data.keyCount), data.keys.size(),
        static_cast<unsigned long long>(data.rowCount), data.rows.size(), static_cast<unsigned long long>(data.seed));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::strncmp(argv[1], "--family=", 9) == 0)
        return writeFamily(argc - 1, argv + 1);
    const bool nearMisses = argc > 1 && std::strcmp(argv[1], "--near-misses") == 0;
    if (nearMisses) {
        --argc;
        ++argv;
    }
    std::uint64_t keyCount = 0;
    std::uint64_t rowCount = 0;
    std::uint64_t seed = 1;
    if ((argc != 5 && argc != 6) || !parseCount(argv[1], keyCount) || !parseCount(argv[2], rowCount)
        || (argc == 6 && !parseCount(argv[5], seed))) {
        std::fputs(usage, stderr);
        return 2;
    }

    lanshan::bench::GeneratedData data;
    std::string error;
    if (!lanshan::bench::generateData(keyCount, rowCount, seed, true, data, error, nearMisses)) {
        std::fprintf(stderr, "generate: %s\n", error.c_str());
        return 2;
    }
    if (!writeFile(argv[3], data.keys) || !writeFile(argv[4], data.rows))
        return 1;

    std::fprintf(stderr,
                 "generate: %llu keys (%llu with one row, %llu with two, %llu with none), "
                 "%llu rows (%llu surplus, %llu near misses), seed %llu\n",
                 static_cast<unsigned long long>(data.keyCount), static_cast<unsigned long long>(data.oneRowKeys),
                 static_cast<unsigned long long>(data.twoRowKeys), static_cast<unsigned long long>(data.noRowKeys),
                 static_cast<unsigned long long>(data.rowCount), static_cast<unsigned long long>(data.surplusRows),
                 static_cast<unsigned long long>(data.nearMissRows), static_cast<unsigned long long>(data.seed));
    return 0;
}
