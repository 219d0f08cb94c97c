#!/usr/bin/env bash
# The load on the archive server (not part of the tests: about three minutes): a private
# cluster (scripts/pg_prova.sh), then quorvel_carico for 60 s with 20 desks on 100,000
# members, then 60 s more with the server restarted halfway, then the cluster stopped.
# Builds nothing: build quorvel_carico first (Release), e.g.
#   cmake --build build --target quorvel_carico && bash scripts/carico.sh [build]
set -uo pipefail
RADICE="$(cd "$(dirname "$0")/.." && pwd)"
CARICO="${1:-$RADICE/build}/bench/quorvel_carico"
[ -x "$CARICO" ] || { echo "manca $CARICO: compilare quorvel_carico" >&2; exit 2; }
AMBIENTE=$(bash "$RADICE/scripts/pg_prova.sh" start) || exit 2
eval "$AMBIENTE"
trap 'bash "$RADICE/scripts/pg_prova.sh" stop "$QUORVEL_PG_DIR"' EXIT
esito=0
"$CARICO" --sportelli 20 --secondi 60 --schede 100000 2> >(grep -v NOTICE >&2) || esito=1
"$CARICO" --sportelli 20 --secondi 60 --schede 100000 --riavvia 2> >(grep -v NOTICE >&2) || esito=1
exit $esito
