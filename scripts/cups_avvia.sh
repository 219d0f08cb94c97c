#!/usr/bin/env bash
# Starts a private CUPS server in the given folder with one cups-pdf queue "QuorvelPDF"
# that writes its PDFs to DIR/pdf. Prints the server's socket path on success.
# Usage: scripts/cups_avvia.sh DIR    (stop with: kill "$(cat DIR/cupsd.pid)")
# Every wait is bounded; exits non-zero with a reason when CUPS cannot run.
set -euo pipefail
DIR="$1"
for prog in cupsd lpadmin lpstat; do
    command -v "$prog" >/dev/null || { echo "missing $prog (install cups)" >&2; exit 2; }
done
[ -x /usr/lib/cups/backend/cups-pdf ] || { echo "missing cups-pdf backend (install printer-driver-cups-pdf)" >&2; exit 2; }
PPD=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[ -f "$PPD" ] || { echo "missing $PPD" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "cupsd must run as root to use the cups-pdf backend" >&2; exit 2; }

mkdir -p "$DIR"/{conf,spool,spool/tmp,cache,state,log,pdf}
chmod 0755 "$DIR" "$DIR/pdf"
chmod 1777 "$DIR/spool/tmp"
SOCK="$DIR/cups.sock"

cat > "$DIR/conf/cups-files.conf" <<CONF
ServerRoot $DIR/conf
RequestRoot $DIR/spool
TempDir $DIR/spool/tmp
CacheDir $DIR/cache
StateDir $DIR/state
AccessLog $DIR/log/access_log
ErrorLog $DIR/log/error_log
PageLog $DIR/log/page_log
Printcap $DIR/printcap
ServerBin /usr/lib/cups
DataDir /usr/share/cups
User lp
Group lp
SystemGroup root
CONF
cat > "$DIR/conf/cupsd.conf" <<CONF
Listen $SOCK
LogLevel info
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
# The queue's own settings: cups-pdf reads cups-pdf-<name>.conf for a URI cups-pdf:/<name>.
cat > /etc/cups/cups-pdf-quorvel.conf <<CONF
Out $DIR/pdf
AnonDirName $DIR/pdf
Label 0
UserUMask 0000
Grp root
CONF

cupsd -f -c "$DIR/conf/cupsd.conf" -s "$DIR/conf/cups-files.conf" > "$DIR/log/cupsd.out" 2>&1 &
echo $! > "$DIR/cupsd.pid"
for _ in $(seq 1 100); do
    [ -S "$SOCK" ] && break
    kill -0 "$(cat "$DIR/cupsd.pid")" 2>/dev/null || { echo "cupsd stopped: $(tail -3 "$DIR/log/cupsd.out" "$DIR/log/error_log" 2>/dev/null)" >&2; exit 3; }
    sleep 0.1
done
[ -S "$SOCK" ] || { echo "cupsd did not open $SOCK within 10 s" >&2; exit 3; }
timeout 20 lpadmin -h "$SOCK" -p QuorvelPDF -E -v cups-pdf:/quorvel -P "$PPD" \
    || { echo "lpadmin failed" >&2; exit 4; }
timeout 10 lpadmin -h "$SOCK" -d QuorvelPDF || true
echo "$SOCK"
