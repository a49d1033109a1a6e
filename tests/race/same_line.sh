#!/bin/sh
# Two clerks save the same order at the same moment, round after round: the order is never
# delivered beyond what was ordered, one clerk is refused with the screen's over-delivery
# message, and both runners end normally.
# usage: same_line.sh VN003_SCRIPT TESMIRA_DB DATABASE [ROUNDS]
# DATABASE is recreated with the demo company every round: a file is removed first, a server
# database is emptied by the command in RESET_DB. KEEP=1 keeps the runners' output.
set -eu
runner=$1 tool=$2 db=$3 rounds=${4:-20}
work=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT

cat >"$work/clerk.vn3" <<EOF
date 2026-12-05
user ADMIN
open
cmd Nuevo
type txt_Pd_Folio P0008
enter txt_Pd_Folio
print txt_Pd_Folio
wait $work/go
cmd Aceptar
EOF
refused='MSG ERR-ID:7500040 16 "ERROR"'
overdelivered="SELECT count(*) FROM Pedido p WHERE p.Pd_Folio = 'P0008' AND p.Pd_Cantidad_1 < \
(SELECT isnull(sum(r.Rm_Cantidad_1), 0) FROM Remision r WHERE r.Rm_Documento = 'P0008' \
AND r.Rm_Documento_ID = p.Pd_ID AND r.Es_Cve_Estado <> 'CA')"
notes="SELECT count(*) FROM Remision_Encabezado WHERE Rm_Documento = 'P0008' AND Es_Cve_Estado <> 'CA'"

fail() {
    echo "round $round: $*"
    for f in "$work"/a.out "$work"/b.out; do echo "--- $f"; cat "$f"; done
    exit 1
}
# The value of a one-row, one-column answer of tesmira-db sql (the line after the header).
value() { "$tool" sql "$db" "$1" | sed -n 2p; }

round=1
while [ "$round" -le "$rounds" ]; do
    case "$db" in
    *://* | *=*) [ -z "${RESET_DB:-}" ] || sh -c "$RESET_DB" ;;
    *) rm -f "$db" "$db-wal" "$db-shm" ;;
    esac
    "$tool" init --demo "$db" >/dev/null
    # The runners truncate their output only once they start: last round's must not count
    # as this round's load.
    rm -f "$work/go" "$work/a.out" "$work/b.out"
    "$runner" --db "$db" "$work/clerk.vn3" >"$work/a.out" 2>&1 &
    a=$!
    "$runner" --db "$db" "$work/clerk.vn3" >"$work/b.out" 2>&1 &
    b=$!
    # Both have the order on screen before either saves.
    tries=0
    until grep -q '^txt_Pd_Folio text=P0008' "$work/a.out" && grep -q '^txt_Pd_Folio text=P0008' "$work/b.out"; do
        tries=$((tries + 1))
        [ "$tries" -lt 3000 ] || fail "the runners did not load the order"
        sleep 0.01
    done
    touch "$work/go"
    wait "$a" || fail "the first runner exited with $?"
    wait "$b" || fail "the second runner exited with $?"

    [ "$(value "$overdelivered")" = 0 ] || fail "a line was delivered beyond what was ordered"
    [ "$(value "$notes")" = 1 ] || fail "expected one saved note, found $(value "$notes")"
    n=$(cat "$work/a.out" "$work/b.out" | grep -c "^$refused") || true
    [ "$n" = 1 ] || fail "expected one clerk refused with the over-delivery message, found $n"
    round=$((round + 1))
done
echo "$rounds rounds: never over-delivered, one clerk refused each time"
