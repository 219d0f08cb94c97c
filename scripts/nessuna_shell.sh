#!/usr/bin/env bash
# No data ever reaches a shell: the program's own sources start no process at all.
set -euo pipefail
cd "$(dirname "$0")/.."
cartelle=(archive storage report widgets cards registry import mail rinnovi lists checks ingressi stats shell platform)
trovati=$(grep -rnE '\b(system|popen|execl|execlp|execle|execv|execvp|execvpe|posix_spawnp?)\s*\(|QProcess|startDetached|/bin/sh' \
    --include='*.cpp' --include='*.h' "${cartelle[@]}" || true)
if [ -n "$trovati" ]; then
    echo "Process or shell calls in the program's sources:"
    echo "$trovati"
    echo "1 failed, 0 passed"
    exit 1
fi
echo "No shell or process call in ${cartelle[*]}"
