#!/usr/bin/env bash
# Fails when a C++ file differs from .clang-format.
# The style is clang-format 14, as Debian 12 ships it (package clang-format-14);
# another version formats some constructs differently.
# Usage: scripts/stile.sh [--correggi]   (--correggi rewrites the files in place)
set -euo pipefail
cd "$(dirname "$0")/.."
FORMATO=$(command -v clang-format-14 || true)
if [ -z "$FORMATO" ]; then
    echo "clang-format-14 is missing (Debian 12: apt-get install clang-format-14)"
    echo "0 passed, 1 failed"
    exit 1
fi
mapfile -t FILE < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -path ./build\* -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
if [ "${1:-}" = "--correggi" ]; then
    "$FORMATO" -i "${FILE[@]}"
    exit 0
fi
diversi=()
for f in "${FILE[@]}"; do
    if ! "$FORMATO" --dry-run -Werror "$f" >/dev/null 2>&1; then diversi+=("$f"); fi
done
if [ ${#diversi[@]} -gt 0 ]; then
    echo "These files differ from .clang-format (fix with: bash scripts/stile.sh --correggi):"
    printf '  %s\n' "${diversi[@]}"
    echo "0 passed, 1 failed"
    exit 1
fi
echo "${#FILE[@]} files follow .clang-format"
