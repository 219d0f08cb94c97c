#!/usr/bin/env bash
# The layers hold: a core source (a file some folder lists for quorvel_core) includes no
# widget, print, multimedia, platform or screen header, in any spelling; no program file
# but the shell's includes the screen registry shell/Schermate.h; and only the archive
# (archive/) and the storage (storage/) open the archive, its photos, the attachment
# folder or the reminder log by path: everything else goes through TDeposito.
# Usage: strati.sh [tree]   (the repository by default)
set -euo pipefail
radice=${1:-"$(dirname "$0")/.."}
cd "$radice"
cartelle=(archive storage report widgets cards registry import mail rinnovi lists checks ingressi stats shell platform)
qt=$(qtpaths6 --query QT_INSTALL_HEADERS 2>/dev/null || echo /usr/include/x86_64-linux-gnu/qt6)
# The Qt modules the core links (QtSql for the archive's server); every other Qt module is a GUI one.
moduliCore='^(QtCore|QtGui|QtConcurrent|QtSql)$'

# Core sources, as each folder's CMakeLists.txt lists them for quorvel_core.
core=()
for lista in "${cartelle[@]/%//CMakeLists.txt}"; do
    [ -f "$lista" ] || continue
    cartella=${lista%/CMakeLists.txt}
    while read -r f; do core+=("$cartella/$f"); done < <(awk '
        /target_sources\(quorvel_core/ { dentro = 1 }
        dentro {
            fine = /\)/
            for (i = 1; i <= NF; ++i) if ($i ~ /\.(h|cpp)\)?$/) { f = $i; sub(/\)$/, "", f); print f }
            if (fine) dentro = 0
        }' "$lista")
done
declare -A nelCore=()
for f in "${core[@]}"; do nelCore[$f]=1; done

# The Qt module of every Qt header name (QLabel, qlabel.h), read once.
declare -A moduloDi=()
for dir in "$qt"/Qt*/; do
    m=$(basename "$dir")
    for h in "$dir"*; do
        h=${h##*/}
        [ -n "${moduloDi[$h]:-}" ] || moduloDi[$h]=$m
    done
done
# The Qt module of an included name (QLabel, qlabel.h, QtWidgets/QLabel, QtWidgets), or "".
modulo() {
    local h=$1
    if [[ $h == */* ]]; then echo "${h%%/*}"; return; fi
    if [ -d "$qt/$h" ]; then echo "$h"; return; fi
    echo "${moduloDi[$h]:-}"
}

errori=()
for f in "${core[@]}"; do
    [ -f "$f" ] || continue
    while IFS= read -r riga; do
        [[ $riga =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*[\<\"]([^\>\"]+)[\>\"] ]] || continue
        h=${BASH_REMATCH[1]}
        # A header of ours, relative to the tree or to the including file.
        nostro=""
        if [ -f "$h" ]; then nostro=$h; elif [ -f "$(dirname "$f")/$h" ]; then nostro=$(realpath --relative-to=. "$(dirname "$f")/$h"); fi
        if [ -n "$nostro" ]; then
            [ -n "${nelCore[$nostro]:-}" ] || errori+=("$f: includes $h, which is not core")
            continue
        fi
        m=$(modulo "$h")
        if [[ $m == Qt* && ! $m =~ $moduliCore ]]; then
            errori+=("$f: includes $h, of $m")
        fi
    done < "$f"
done

# Only the shell includes the screen registry.
while IFS= read -r trovato; do
    errori+=("$trovato: includes the screen registry")
done < <(grep -rlE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^">]*/)?Schermate\.h[">]' \
    --include='*.cpp' --include='*.h' "${cartelle[@]}" 2>/dev/null | grep -v '^shell/' || true)

# Only the archive and the storage open the folder's files by path. Comment lines do not
# count; a message that names a file (Avvisi.csv: ...) is no path.
percorsi='\b(TArchivio|PercorsoFoto|NomeArchivio|TDepositoFile|TImportazioneFile|CopieImportazione::[A-Za-z]+|DatiEnteFile::[A-Za-z]+|RegistroAvvisi::(TRegistro|Percorso|UltimiInvii))\b|"(Tesserati\.pro[^"]*|Documenti_Allegati|Avvisi\.csv)"'
altre=()
for c in "${cartelle[@]}"; do [[ $c == archive || $c == storage ]] || altre+=("$c"); done
while IFS= read -r trovato; do
    errori+=("${trovato%: *}: opens the archive's files by path (${trovato##*: }); use TDeposito")
done < <(grep -rnoE --include='*.cpp' --include='*.h' "$percorsi" "${altre[@]}" 2>/dev/null |
    while IFS=: read -r f n parola; do
        sed -n "${n}p" "$f" | grep -qE '^[[:space:]]*//' || echo "$f:$n: $parola"
    done | sort -u -t: -k1,2 || true)

# The layer shows in the path: the core sources are those of archive/, storage/ and every
# folder's core/, and nothing else.
for f in "${core[@]}"; do
    [[ $f == archive/* || $f == storage/* || $f == */core/* ]] ||
        errori+=("$f: a core source outside archive/, storage/ or a core/ folder")
done
while IFS= read -r f; do
    [ -n "${nelCore[$f]:-}" ] || errori+=("$f: in a core folder but not a core source")
done < <(for c in "${cartelle[@]}"; do
    if [[ $c == archive || $c == storage ]]; then find "$c" -name '*.cpp' -o -name '*.h'
    elif [ -d "$c/core" ]; then find "$c/core" -name '*.cpp' -o -name '*.h'; fi
done 2>/dev/null | sort)

if [ ${#errori[@]} -gt 0 ]; then
    echo "Layer rule broken:"
    printf '  %s\n' "${errori[@]}"
    echo "1 failed, 0 passed"
    exit 1
fi
echo "Layers hold: ${#core[@]} core sources include only core and QtCore/QtGui/QtConcurrent/QtSql headers; only the shell includes the screen registry; only archive/ and storage/ open the archive's files by path; the core is archive/, storage/ and the core/ folders"
