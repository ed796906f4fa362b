#!/usr/bin/env bash
# Fails, listing what it would change, when a C++ file of the tree is not formatted as
# .clang-format says. To format them all: tools/check-format.sh --fix
set -euo pipefail
cd "$(dirname "$0")/.."

# The tracked files in a git checkout; otherwise the sources below the project's folders.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
else
    mapfile -t files < <(find about bench common controls engine resources status tests tools ui \
        -name '*.cpp' -o -name '*.h')
fi
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${files[@]}"
else
    clang-format --dry-run --Werror "${files[@]}"
fi
