#!/usr/bin/env bash
# A private PostgreSQL 15 cluster for the tests, on 127.0.0.1 with TLS, thrown away at the end.
#   eval "$(bash scripts/pg_prova.sh start)"   exports QUORVEL_PG_DIR PGHOST PGPORT PGUSER
#                                                QUORVEL_PG_CA; the database "quorvel" holds
#                                                sql/quorvel.sql and is the tests' template
#   bash scripts/pg_prova.sh stop "$QUORVEL_PG_DIR"
# Administration goes through the Unix socket in QUORVEL_PG_DIR (trust); logins over TCP
# need TLS and a SCRAM password. As root the server runs as the "postgres" system user,
# since initdb and postgres refuse root.
set -euo pipefail
umask 077
SQL="$(cd "$(dirname "$0")/.." && pwd)/sql/quorvel.sql"
PGBIN=/usr/lib/postgresql/15/bin
if [ "$(id -u)" -eq 0 ]; then COME=(runuser -u postgres --); else COME=(); fi
cd /   # the server's user must be able to stay in the working folder

if [ "${1:-}" = stop ]; then
    DIR="${2:?cartella del cluster}"
    case "$DIR" in /tmp/quorvel-pg.*) ;; *) echo "non è un cluster di prova: $DIR" >&2; exit 1 ;; esac
    if [ -f "$DIR/dati/postmaster.pid" ]; then
        "${COME[@]}" "$PGBIN/pg_ctl" -D "$DIR/dati" -m fast -w -t 30 stop >/dev/null 2>&1 ||
            kill "$(head -1 "$DIR/dati/postmaster.pid")" 2>/dev/null || true
    fi
    rm -rf -- "$DIR"
    exit 0
fi

BASE=$(mktemp -d /tmp/quorvel-pg.XXXXXX)
chmod 755 "$BASE"   # the tests read the CA certificate and reach the socket here
if [ "$(id -u)" -eq 0 ]; then chown postgres: "$BASE"; fi
# TLS: a CA made for this run, and a server certificate for the name "localhost" only.
"${COME[@]}" sh -c "cd '$BASE' &&
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=Quorvel CA di prova' -keyout ca.key -out ca.crt &&
  openssl req -newkey rsa:2048 -nodes -subj '/CN=localhost' -keyout server.key -out server.csr &&
  printf 'subjectAltName=DNS:localhost\n' > san.ext &&
  openssl x509 -req -days 2 -in server.csr -CA ca.crt -CAkey ca.key -CAcreateserial -extfile san.ext -out server.crt &&
  chmod 644 ca.crt" >"$BASE/openssl.log" 2>&1
"${COME[@]}" "$PGBIN/initdb" -D "$BASE/dati" -U postgres --auth-local=trust --auth-host=reject \
    --encoding=UTF8 --locale=C >"$BASE/initdb.log" 2>&1
"${COME[@]}" sh -c "cat > '$BASE/dati/pg_hba.conf'" <<'HBA'
local     all all              trust
hostssl   all all 127.0.0.1/32 scram-sha-256
hostnossl all all 0.0.0.0/0    reject
HBA
# Member data stays out of the server's log, as the README recommends for real servers.
OPZIONI="-c listen_addresses=127.0.0.1 -c unix_socket_directories=$BASE -c ssl=on \
 -c ssl_cert_file=$BASE/server.crt -c ssl_key_file=$BASE/server.key -c fsync=off \
 -c log_statement=none -c log_min_error_statement=panic -c max_connections=100"
PORTA=${QUORVEL_PG_PORTA:-$((20000 + RANDOM % 40000))}
avviato=0
for tentativo in 1 2 3 4 5; do
    if "${COME[@]}" "$PGBIN/pg_ctl" -D "$BASE/dati" -l "$BASE/server.log" -w -t 30 \
        -o "$OPZIONI -c port=$PORTA" start >/dev/null 2>&1; then
        avviato=1
        break
    fi
    PORTA=$((20000 + RANDOM % 40000))   # port taken: try another
done
if [ "$avviato" -ne 1 ]; then
    echo "PostgreSQL non si è avviato: vedere $BASE/server.log" >&2
    exit 1
fi
"${COME[@]}" "$PGBIN/psql" -X -q -h "$BASE" -p "$PORTA" -U postgres -d postgres \
    -v ON_ERROR_STOP=1 -f - <"$SQL" >"$BASE/schema.log" 2>&1 || {
    echo "lo schema non si è caricato: vedere $BASE/schema.log" >&2
    exit 1
}
echo "export QUORVEL_PG_DIR=$BASE PGHOST=$BASE PGPORT=$PORTA PGUSER=postgres QUORVEL_PG_CA=$BASE/ca.crt"
