#!/usr/bin/env bash
# The printing tests' PDF-writing queue "PELORIN_PDF" (the cups-pdf backend):
#   cups_setup.sh            starts the local print service (CUPS) if it is not
#                            running and makes the queue; idempotent
#   cups_setup.sh --remove   removes the queue and its files again
# The tests print to the queue by name: it never becomes the default printer,
# and the system's default printer and other queues are left as they are.
# The queue has a configuration file of its own,
# /etc/cups/cups-pdf-PELORIN_PDF.conf (cups-pdf reads it for the device
# cups-pdf:/PELORIN_PDF only, in place of /etc/cups/cups-pdf.conf), which sends
# its PDFs to /var/spool/cups-pdf/PELORIN_PDF/<user>/, not to the user's
# ~/PDF, and keeps its spool files and log in /var/spool/cups-pdf/PELORIN_PDF
# too; the tests read each PDF from there and delete it.
set -euo pipefail

QUEUE=PELORIN_PDF
CONFIG=/etc/cups/cups-pdf-$QUEUE.conf
OUT=/var/spool/cups-pdf/$QUEUE

if [ "${1:-}" = "--remove" ]; then
    if lpstat -r 2>/dev/null | grep -q "is running" && lpstat -p "$QUEUE" >/dev/null 2>&1; then
        lpadmin -x "$QUEUE"
    fi
    rm -f "$CONFIG"
    rm -rf "$OUT"
    exit 0
fi

if ! lpstat -r 2>/dev/null | grep -q "is running"; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "cups_setup: the print service is not running and starting it needs root" >&2
        exit 1
    fi
    /usr/sbin/cupsd
    for _ in $(seq 1 50); do
        lpstat -r 2>/dev/null | grep -q "is running" && break
        sleep 0.2
    done
fi
if ! lpstat -r 2>/dev/null | grep -q "is running"; then
    echo "cups_setup: the print service (cupsd) did not start" >&2
    exit 1
fi

# The queue's own cups-pdf settings: the Debian defaults but for the folders.
# cups-pdf makes the user's folder and the spool folder below $OUT itself.
mkdir -p "$OUT"
chmod 755 "$OUT"
cat >"$CONFIG.new" <<CONF
# cups-pdf settings of the queue $QUEUE only (device cups-pdf:/$QUEUE), made by
# PELORIN's tools/cups_setup.sh for its printing tests; removed by
# tools/cups_setup.sh --remove. Other cups-pdf queues read cups-pdf.conf.
Out $OUT/\${USER}
Spool $OUT/SPOOL
Log $OUT
Grp lpadmin
DecodeHexStrings 1
CONF
mv "$CONFIG.new" "$CONFIG"
chmod 644 "$CONFIG"

if ! lpstat -p "$QUEUE" >/dev/null 2>&1; then
    lpadmin -p "$QUEUE" -E -v "cups-pdf:/$QUEUE" -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd \
        -o PageSize=A4 -D "PELORIN test PDF printer"
fi
# The device names the configuration file (a queue made by an older setup
# wrote to ~/PDF through cups-pdf:/).
lpadmin -p "$QUEUE" -v "cups-pdf:/$QUEUE"
# The queue turns the PDF it receives into PostScript for the cups-pdf
# backend; the Ghostscript renderer loses the text of embedded CID fonts
# there, so the written PDF could not be read back. pdftocairo keeps it.
lpadmin -p "$QUEUE" -o pdftops-renderer-default=pdftocairo
cupsenable "$QUEUE" >/dev/null 2>&1 || true
cupsaccept "$QUEUE" >/dev/null 2>&1 || true
