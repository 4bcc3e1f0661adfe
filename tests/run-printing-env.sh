#!/usr/bin/env bash
# Runs every test with CTest. The printing tests run last, against a real spooler: when the
# machine has CUPS and cups-pdf, cupsd is started in the foreground as a child (if none runs)
# with a PDF queue, and both are removed afterwards. The other tests run before the spooler
# starts, so that they see the machine without printers.
set -uo pipefail
build="$1"
queue=PaginorPDF
duplex_queue=PaginorPDFDuplex
started_pid=""
queue_added=""
duplex_added=""
duplex_ppd=""
cleanup() {
    [ -n "$queue_added" ] && lpadmin -x "$queue" 2>/dev/null
    [ -n "$duplex_added" ] && lpadmin -x "$duplex_queue" 2>/dev/null
    [ -n "$duplex_ppd" ] && rm -f "$duplex_ppd"
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
log="$(mktemp)"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2 -E '^printing$' | tee "$log"
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1

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
        # A copy of the PPD with a duplex option, so that the printer offers duplex modes.
        if ! lpstat -p "$duplex_queue" >/dev/null 2>&1; then
            duplex_ppd="$(mktemp --suffix=.ppd)"
            cat "$ppd" - >"$duplex_ppd" <<'PPD'
*OpenUI *Duplex/Double-Sided Printing: PickOne
*OrderDependency: 10 AnySetup *Duplex
*DefaultDuplex: None
*Duplex None/Off: "<</Duplex false>>setpagedevice"
*Duplex DuplexNoTumble/Long Edge: "<</Duplex true/Tumble false>>setpagedevice"
*Duplex DuplexTumble/Short Edge: "<</Duplex true/Tumble true>>setpagedevice"
*CloseUI: *Duplex
PPD
            lpadmin -p "$duplex_queue" -E -v cups-pdf:/ -P "$duplex_ppd" 2>/dev/null \
                && duplex_added=1
            cupsenable "$duplex_queue" 2>/dev/null
            cupsaccept "$duplex_queue" 2>/dev/null
        fi
        lpstat -p "$duplex_queue" >/dev/null 2>&1 \
            && export PAGINOR_CUPS_DUPLEX_QUEUE="$duplex_queue"
    fi
fi
[ -z "${PAGINOR_CUPS_QUEUE:-}" ] && echo "run-printing-env: no CUPS queue; the spooler tests skip"

QT_QPA_PLATFORM=offscreen ctest --output-on-failure ${PAGINOR_CTEST_ARGS:-} -R '^printing$' | tee -a "$log"
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1

# One closing line for both runs.
total=0 failed=0
while read -r f t; do total=$((total + t)); failed=$((failed + f)); done < <(
    sed -n 's/.*tests passed, \([0-9]*\) tests\? failed out of \([0-9]*\).*/\1 \2/p' "$log")
rm -f "$log"
[ "$total" -gt 0 ] || status=1
echo "ctest: $((total - failed)) passed, $failed failed"
exit $status
