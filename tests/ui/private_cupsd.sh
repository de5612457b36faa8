#!/usr/bin/env bash
# A cupsd of the test's own, so that a test can stop the print service without touching the system's.
#   private_cupsd.sh start DIR QUEUE [PID]  starts cupsd listening only on DIR/cups.sock, with QUEUE as its
#                                           default, for as long as process PID lives (the caller's by default)
#   private_cupsd.sh stop DIR               stops it the way the service is stopped (SIGTERM), waits for the end
# Jobs go to /dev/null: the cases that use this never expect a page. Needs root and CUPS.
set -uo pipefail

action=${1:?start or stop}
dir=${2:?folder}

fail() {
    echo "private_cupsd: $*" >&2
    exit 1
}

# A cupsd that has ended but is not reaped yet counts as ended.
running() {
    local state
    [[ -s "$dir/cupsd.pid" ]] || return 1
    state=$(sed -n 's/^State:[[:space:]]*//p' "/proc/$(cat "$dir/cupsd.pid")/status" 2>/dev/null)
    [[ -n "$state" && "$state" != Z* ]]
}

start() {
    local queue=${3:?queue name} owner=${4:-$PPID}
    [[ $(id -u) -eq 0 ]] || fail "a cupsd of our own needs root"
    command -v cupsd >/dev/null || fail "cupsd is missing: install cups"
    running && stop
    rm -rf "${dir:?}"/* && mkdir -p "$dir"/{conf/ppd,spool/tmp,cache,state,log} || fail "cannot create $dir"
    chmod 755 "$dir" "$dir"/* && chmod 1777 "$dir/spool/tmp"
    cat >"$dir/cupsd.conf" <<CONF
Listen $dir/cups.sock
Browsing Off
LogLevel warn
<Location />
  Order allow,deny
  Allow all
</Location>
CONF
    cat >"$dir/cups-files.conf" <<CONF
ServerRoot $dir/conf
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
FileDevice Yes
CONF
    setsid cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" </dev/null >"$dir/cupsd.out" 2>&1 &
    echo $! >"$dir/cupsd.pid"
    # Should the test die without stopping it, the cupsd goes with it.
    setsid bash -c 'while kill -0 "$1" 2>/dev/null && kill -0 "$2" 2>/dev/null; do sleep 1; done; kill "$2" 2>/dev/null' \
        _ "$owner" "$(cat "$dir/cupsd.pid")" </dev/null >/dev/null 2>&1 &
    local i
    for ((i = 0; i < 200; i++)); do
        lpstat -h "$dir/cups.sock" -r 2>/dev/null | grep -q "is running" && break
        running || fail "cupsd ended: $(cat "$dir/cupsd.out")"
        sleep 0.1
    done
    lpadmin -h "$dir/cups.sock" -p "$queue" -E -v file:///dev/null -m lsb/usr/cups-pdf/CUPS-PDF_noopt.ppd \
        2>"$dir/lpadmin.log" || fail "cannot add the queue: $(cat "$dir/lpadmin.log")"
    lpadmin -h "$dir/cups.sock" -d "$queue" || fail "cannot make $queue the default"
}

stop() {
    running || return 0
    local pid
    pid=$(cat "$dir/cupsd.pid")
    kill "$pid"
    local i
    for ((i = 0; i < 100; i++)); do
        running || return 0
        sleep 0.1
    done
    kill -9 "$pid"
}

case "$action" in
start) start "$@" ;;
stop) stop ;;
*) fail "unknown action $action" ;;
esac
