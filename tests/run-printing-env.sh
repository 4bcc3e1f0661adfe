#!/usr/bin/env bash
# Runs every test with CTest. The printing tests run last, against a real spooler: when the
# machine has CUPS and cups-pdf, cupsd is started in the foreground as a child (if none runs)
# with a PDF queue, and both are removed afterwards. The other tests run before the spooler
# starts, so that they see the machine without printers.
set -uo pipefail
build="$1"
queue=PaginorPDF
started_pid=""
queue_added=""
cleanup() {
    [ -n "$queue_added" ] && lpadmin -x "$queue" 2>/dev/null
    if [ -n "$started_pid" ]; then
        kill "$started_pid" 2>/dev/null
        wait "$started_pid" 2>/dev/null
    fi
}
trap cleanup EXIT
# lpstat -r exits 0 either way; its text tells.
spooler_up() { lpstat -r 2>/dev/null | grep -q "scheduler is running"; }

cd "$build"
status=0
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2 -E '^printing$' || status=1

ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
if [ -x /usr/sbin/cupsd ] && [ -f "$ppd" ] && [ "$(id -u)" -eq 0 ]; then
    if ! spooler_up; then
        /usr/sbin/cupsd -f &
        started_pid=$!
        for _ in $(seq 1 100); do spooler_up && break; sleep 0.1; done
    fi
    if spooler_up; then
        if ! lpstat -p "$queue" >/dev/null 2>&1; then
            lpadmin -p "$queue" -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null \
                && queue_added=1
        fi
        cupsenable "$queue" 2>/dev/null
        cupsaccept "$queue" 2>/dev/null
        lpstat -p "$queue" >/dev/null 2>&1 && export PAGINOR_CUPS_QUEUE="$queue"
    fi
fi
[ -z "${PAGINOR_CUPS_QUEUE:-}" ] && echo "run-printing-env: no CUPS queue; the spooler tests skip"

QT_QPA_PLATFORM=offscreen ctest --output-on-failure -R '^printing$' || status=1
exit $status
