#!/usr/bin/env bash
# Test fixture for printing on a real CUPS queue.
#   cups_pdf_queue.sh setup   STATE_DIR QUEUE OUT_DIR
#   cups_pdf_queue.sh cleanup STATE_DIR QUEUE OUT_DIR
# setup starts cupsd when it is not running and adds QUEUE as a CUPS-PDF printer writing into OUT_DIR; cleanup
# removes the queue and its configuration and stops the cupsd that setup started. The system's default printer
# is left alone: the tests name the queue in PRINTER, so two build trees can test side by side.
# Needs root, CUPS and printer-driver-cups-pdf; without them setup fails, it never skips.
set -uo pipefail

action=${1:?setup or cleanup}
state=${2:?state folder}
queue=${3:?queue name}
out=${4:?output folder}
# CUPS-PDF reads cups-pdf-NAME.conf for a device URI cups-pdf:/NAME, so the test's queue has its own output
# folder and the system's settings stay as they are.
conf=/etc/cups/cups-pdf-$queue.conf

fail() {
    echo "cups_pdf_queue: $*" >&2
    exit 1
}

scheduler_running() {
    lpstat -r 2>/dev/null | grep -q "is running"
}

# Waits up to $1 tenths of a second for a command to succeed.
wait_for() {
    local tenths=$1
    shift
    for ((i = 0; i < tenths; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

setup() {
    [[ $(id -u) -eq 0 ]] || fail "adding a print queue needs root"
    for tool in cupsd lpadmin lpstat cupsaccept cupsreject pdfinfo pdftoppm pdftotext; do
        command -v "$tool" >/dev/null || fail "$tool is missing: install cups and poppler-utils"
    done
    [[ -x /usr/lib/cups/backend/cups-pdf ]] || fail "the cups-pdf backend is missing: install printer-driver-cups-pdf"
    mkdir -p "$state" || fail "cannot create $state"
    rm -f "$state/cupsd.pid"

    if ! scheduler_running; then
        setsid cupsd -f </dev/null >"$state/cupsd.log" 2>&1 &
        echo $! >"$state/cupsd.pid"
        wait_for 200 scheduler_running || fail "cupsd did not start: $(cat "$state/cupsd.log")"
    fi

    rm -rf "$out" && mkdir -p "$out" || fail "cannot create $out"
    # Label 1 puts the job number into each file name, so that no page overwrites an earlier one.
    printf 'Out %s\nLabel 1\n' "$out" >"$conf" || fail "cannot write $conf"
    lpadmin -p "$queue" -E -v "cups-pdf:/$queue" -m lsb/usr/cups-pdf/CUPS-PDF_noopt.ppd 2>"$state/lpadmin.log" ||
        fail "cannot add the queue: $(cat "$state/lpadmin.log")"
    wait_for 100 sh -c "lpstat -a '$queue' 2>/dev/null | grep -q accepting" || fail "$queue does not accept jobs"
}

cleanup() {
    if scheduler_running; then
        cancel -a "$queue" 2>/dev/null
        lpadmin -x "$queue" 2>/dev/null
    fi
    rm -f "$conf" "/var/log/cups/cups-pdf-${queue}_log"
    if [[ -s "$state/cupsd.pid" ]]; then
        local pid
        pid=$(cat "$state/cupsd.pid")
        if [[ "$(cat "/proc/$pid/comm" 2>/dev/null)" == cupsd ]]; then
            kill "$pid"
            wait_for 100 sh -c "! kill -0 $pid 2>/dev/null" || kill -9 "$pid"
        fi
        rm -f "$state/cupsd.pid"
    fi
    return 0
}

case "$action" in
setup) setup ;;
cleanup) cleanup ;;
*) fail "unknown action $action" ;;
esac
