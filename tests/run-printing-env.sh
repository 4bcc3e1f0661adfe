#!/usr/bin/env bash
# Runs every test with CTest. When the machine has CUPS, a spooler is started for the
# printing tests (if none runs) with a PDF queue, and both are removed afterwards.
set -uo pipefail
build="$1"
started_pid=""
queue_added=""
cleanup() {
    [ -n "$queue_added" ] && lpadmin -x PaginorPDF 2>/dev/null
    [ -n "$started_pid" ] && kill "$started_pid" 2>/dev/null && wait "$started_pid" 2>/dev/null
}
trap cleanup EXIT

if [ -x /usr/sbin/cupsd ] && [ "$(id -u)" -eq 0 ]; then
    if ! lpstat -r >/dev/null 2>&1; then
        /usr/sbin/cupsd -f &
        started_pid=$!
        for _ in $(seq 1 50); do lpstat -r >/dev/null 2>&1 && break; sleep 0.1; done
    fi
    if lpstat -r >/dev/null 2>&1 && [ -f /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd ] \
        && ! lpstat -p PaginorPDF >/dev/null 2>&1; then
        lpadmin -p PaginorPDF -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null \
            && queue_added=1
        cupsenable PaginorPDF 2>/dev/null; cupsaccept PaginorPDF 2>/dev/null
    fi
    export PAGINOR_CUPS_QUEUE=PaginorPDF
fi

cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2
