#!/usr/bin/env bash
# Prints four-pages.ps (black text, a red square, black text, blue text) on
# A4, and on Letter for a few drivers (and two-images.ps on colour lasers), through every Epson driver Debian 12
# packages, and writes corpus.tsv: the truth of each job, from the document
# and what the driver family tells the printer, never from the parser. The
# tests never run this; the generated files are committed and read by
# EscpCorpusTests.cpp, which must pass again after regenerating.
#
# Needs ghostscript, printer-driver-gutenprint, cups-filters, cups-ppdc and
# printer-driver-escpr.
#
# Truth, per family: four pages; colour on pages 2 and 4 where the printer
# prints colour; the paper the driver states (ESC/Page's EJL PS= and GS psE,
# ESC/P 2's ESC ( C and ESC ( S), none for ESC/P drivers that state none.
set -euo pipefail
cd "$(dirname "$0")"
rm -f ./*.prn corpus.tsv
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

A4="A4 2100x2970"
LETTER="Letter 2159x2794"
NONE=" 0x0"
MONO="4/0"
COLOUR="2/2"

{
    echo "# file	page sets (name WxH mono/colour; ...)	copies	duplex	colour type"
    echo "# Made by make-escp-corpus.sh from four-pages.ps."
} > corpus.tsv
truth() {  # file, paper, pages
    printf '%s\t%s %s\t1\t0\t0\n' "$1" "$2" "$3" >> corpus.tsv
}

# Ghostscript's ESC/Page lasers (gdevescv, gdevepag, gdevlp8k, gdevespg):
# EJL, then GS commands with bit images whose data holds form feeds.
gs_device() {  # device, paper size, output
    gs -q -dNOPAUSE -dBATCH -dSAFER -sPAPERSIZE="$2" -dFIXEDMEDIA -sDEVICE="$1" -sOutputFile="$3" four-pages.ps
}
for device in escpage lp1800 lp1900 lp2000 lp2200 lp2400 lp2500 lp7500 lp7700 lp7900 lp8000 lp8100 lp8300f \
    lp8400f lp8600 lp8600f lp8700 lp8900 lp9000b lp9100 lp9200b lp9300 lp9400 lp9600 lp9600s lps4500 \
    epl2050 epl2050p epl2120 epl2500 epl2750 epl5800 epl5900 epl6100 epl6200 eplmono; do
    gs_device "$device" a4 "gs-$device.prn"
    truth "gs-$device.prn" "$A4" "$MONO"
done
for device in lp3000c lp8000c lp8200c lp8300c lp8500c lp8800c lp9000c lp9200c lp9500c lp9800c alc1900 alc2000 \
    alc4000 alc4100 alc8500 alc8600 alc9100 eplcolor lps6500; do
    gs_device "$device" a4 "gs-$device.prn"
    truth "gs-$device.prn" "$A4" "$COLOUR"
done
# Letter: GS 30 psE (escpage) and EJL PS=LT (lp8300c).
gs_device escpage letter gs-escpage-letter.prn
truth gs-escpage-letter.prn "$LETTER" "$MONO"
gs_device lp8300c letter gs-lp8300c-letter.prn
truth gs-lp8300c-letter.prn "$LETTER" "$COLOUR"

# two-images.ps: a colour image (sent as a colour raster image), then a grey
# one (sent as grey fills), through a colour laser.
gs -q -dNOPAUSE -dBATCH -dSAFER -sPAPERSIZE=a4 -dFIXEDMEDIA -r300 -sDEVICE=lp8300c \
    -sOutputFile=gs-lp8300c-images.prn two-images.ps
truth gs-lp8300c-images.prn "$A4" "1/1"

# Ghostscript's ESC/P and ESC/P 2 printers: 9- and 24-pin bit images, and
# the ESC/P 2 raster of the ActionPrinter 3250 and Stylus 800, with no paper;
# stcolor's ESC/P 2 raster with the page length of ESC ( C.
for device in epson eps9mid eps9high lq850; do
    gs_device "$device" a4 "gs-$device.prn"
    truth "gs-$device.prn" "$NONE" "$MONO"
done
gs_device epsonc a4 gs-epsonc.prn
truth gs-epsonc.prn "$NONE" "$COLOUR"
for device in ap3250 st800; do
    gs_device "$device" a4 "gs-$device.prn"
    truth "gs-$device.prn" "$NONE" "$MONO"
done
gs_device stcolor a4 gs-stcolor.prn
truth gs-stcolor.prn "$A4" "$COLOUR"

# uniprint with the Stylus Color parameter files of Ghostscript (ESC/P 2
# with EJL and remote mode, ESC . 1 raster in the printer's colours).
for upp in stc stc_l stc2 stc300 stc500p stcany; do
    gs -q -dNOPAUSE -dBATCH -dSAFER -sPAPERSIZE=a4 -dFIXEDMEDIA "@$upp.upp" -sOutputFile="uniprint-$upp.prn" four-pages.ps
    truth "uniprint-$upp.prn" "$A4" "$COLOUR"
done

# The CUPS drivers print from raster made of the document as a PDF.
gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -sOutputFile="$tmp/doc.pdf" four-pages.ps
raster_job() {  # ppd, filter, options, output
    PPD="$1" /usr/lib/cups/filter/gstoraster 1 user corpus 1 "$3" "$tmp/doc.pdf" 2>/dev/null |
        PPD="$1" "$2" 1 user corpus 1 "$3" > "$4" 2>/dev/null
}

# Gutenprint's ESC/P 2 models across generations: old Stylus Color and
# Photo (ESC . raster, page length only), Stylus C, Photo R, WorkForce and
# EcoTank (EJL, remote mode, ESC i raster, ESC ( S and ESC ( C).
gutenprint() {  # model, paper, output
    /usr/lib/cups/driver/gutenprint.5.3 cat "gutenprint.5.3://$1/expert" > "$tmp/$1.ppd"
    local resolution
    resolution=$(grep -o '^\*Resolution [0-9x]*dpi' "$tmp/$1.ppd" | head -1 | cut -d' ' -f2)
    raster_job "$tmp/$1.ppd" /usr/lib/cups/filter/rastertogutenprint.5.3 "PageSize=$2 Resolution=$resolution" "$3"
}
for model in escp2-600 escp2-photo escp2-3000 escp2-c86 escp2-r300 escp2-wf7010 escp2-et2750 escp2-b500dn; do
    gutenprint "$model" A4 "gutenprint-$model.prn"
    truth "gutenprint-$model.prn" "$A4" "$COLOUR"
done
gutenprint escp2-c86 Letter gutenprint-escp2-c86-letter.prn
truth gutenprint-escp2-c86-letter.prn "$LETTER" "$COLOUR"

# CUPS's rastertoepson with its 9- and 24-pin PPDs (bit images, no paper).
ppdc -d "$tmp" /usr/share/cups/drv/sample.drv 2>/dev/null
for pins in 9 24; do
    raster_job "$tmp/epson$pins.ppd" /usr/lib/cups/filter/rastertoepson "PageSize=A4" "cups-epson$pins.prn"
    truth "cups-epson$pins.prn" "$NONE" "$MONO"
done

# printer-driver-escpr writes ESC/P-R, a raster language of its own that the
# parser does not read; its job must come out without pages and unharmed. Its
# filter takes the PPD from the scheduler by the queue's name, so a private
# cupsd holds a queue for it while it runs.
escpr_ppd=$(/usr/lib/cups/driver/escpr list | grep -o '"escpr:[^"]*ET-2750[^"]*"' | head -1 | tr -d '"')
/usr/lib/cups/driver/escpr cat "$escpr_ppd" > "$tmp/escpr.ppd"
mkdir -p "$tmp/cupsd/spool" "$tmp/cupsd/cache" "$tmp/cupsd/log" "$tmp/cupsd/run"
printf 'Listen %s\nLogLevel warn\n<Location />\nOrder allow,deny\nAllow all\n</Location>\n' \
    "$tmp/cupsd/run/cups.sock" > "$tmp/cupsd/cupsd.conf"
printf 'ServerRoot %s\nRequestRoot %s\nCacheDir %s\nStateDir %s\nTempDir %s\nErrorLog %s\nAccessLog %s\nPageLog %s\nSandboxing Relaxed\n' \
    "$tmp/cupsd" "$tmp/cupsd/spool" "$tmp/cupsd/cache" "$tmp/cupsd/run" "$tmp/cupsd/spool" \
    "$tmp/cupsd/log/error_log" "$tmp/cupsd/log/access_log" "$tmp/cupsd/log/page_log" > "$tmp/cupsd/cups-files.conf"
/usr/sbin/cupsd -f -c "$tmp/cupsd/cupsd.conf" -s "$tmp/cupsd/cups-files.conf" &
cupsd_pid=$!
trap 'kill "$cupsd_pid" 2>/dev/null; wait "$cupsd_pid" 2>/dev/null; rm -rf "$tmp"' EXIT
export CUPS_SERVER="$tmp/cupsd/run/cups.sock"
for _ in $(seq 50); do [ -S "$CUPS_SERVER" ] && break; sleep 0.1; done
lpadmin -p escpr -P "$tmp/escpr.ppd" -v file:/dev/null -E 2>/dev/null
PPD="$tmp/escpr.ppd" /usr/lib/cups/filter/gstoraster 1 user corpus 1 "PageSize=A4" "$tmp/doc.pdf" 2>/dev/null |
    (PPD="$tmp/escpr.ppd" exec -a escpr /usr/lib/cups/filter/epson-escpr-wrapper 1 user corpus 1 "PageSize=A4") \
        > escpr-et2750.prn 2>/dev/null
printf 'escpr-et2750.prn\t\t1\t0\t0\n' >> corpus.tsv
