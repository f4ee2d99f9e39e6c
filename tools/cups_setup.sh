#!/usr/bin/env bash
# Starts the local print service (CUPS) if it is not running and makes a
# PDF-writing queue "PELORIN_PDF" (the cups-pdf backend) the default printer.
# The printing tests send real jobs to it and read the PDF it writes.
set -euo pipefail

QUEUE=PELORIN_PDF

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

if ! lpstat -p "$QUEUE" >/dev/null 2>&1; then
    lpadmin -p "$QUEUE" -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd \
        -o PageSize=A4 -D "PELORIN test PDF printer"
fi
# The queue turns the PDF it receives into PostScript for the cups-pdf
# backend; the Ghostscript renderer loses the text of embedded CID fonts
# there, so the written PDF could not be read back. pdftocairo keeps it.
lpadmin -p "$QUEUE" -o pdftops-renderer-default=pdftocairo
cupsenable "$QUEUE" >/dev/null 2>&1 || true
cupsaccept "$QUEUE" >/dev/null 2>&1 || true
lpadmin -d "$QUEUE"
