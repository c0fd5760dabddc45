#!/usr/bin/env bash
# The Epson families of sweep.sh: every page of marks.ps as a job of its own
# through the ESC/P 2 and ESC/Page colour drivers Debian has, judged against
# the truth of their decoded data as sweep.sh judges (see there): ESC/P 2
# and ESC/P colour raster measured by cvk_raster_truth, each ink's dots placed
# on the page, with the document's truth beside it; what it cannot decode
# (ESC/Page) takes the colour oracle's. Gutenprint's Epson
# models of each kind (four inks by ESC . or ESC i, six inks with light cyan
# and light magenta, eight with light black, red and blue or orange and
# green), Ghostscript's stcolor and epsonc and uniprint's Stylus Color
# parameter files (ESC/P 2 and ESC/P), and Ghostscript's ESC/Page colour
# lasers. Writes results-escp.txt; results-escp-before.txt keeps the same
# sweep with the parser as it was before Epson raster was judged by area.
# printer-driver-escpr writes ESC/P-R, which the parser does not read.
#
# sweep-escp.sh path/to/cvk_colour_oracle path/to/cvk_raster_truth path/to/cvk_parse_job [results file]
# Needs ghostscript, cups-filters and printer-driver-gutenprint.
set -euo pipefail
oracle=$(realpath "$1")
raster=$(realpath "$2")
parse=$(realpath "$3")
here=$(cd "$(dirname "$0")" && pwd)
results=$(realpath -m "${4:-$here/results-escp.txt}")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
pages=$(grep -c '^%%Page:' "$here/marks.ps")
. "$here/sweep-common.sh"

: > "$results"
# SWEEP_ONLY=escpage sweeps only the ESC/Page lasers, SWEEP_ONLY=escp only
# the ESC/P 2 and ESC/P families.
if [ "${SWEEP_ONLY:-}" != escpage ]; then
# Gutenprint: model, resolution of the oracle, the driver's resolution.
gutenprint() {
    local model=$1 dpi=$2 resolution=$3
    /usr/lib/cups/driver/gutenprint.5.3 cat "gutenprint.5.3://$model/expert" > "$tmp/$model.ppd"
    cups gutenprint-escp2 "$model" "$tmp/$model.ppd" /usr/lib/cups/filter/rastertogutenprint.5.3 "$dpi" \
        "PageSize=A4 Resolution=$resolution"
}
# Four inks: Stylus Color 600 (ESC .), Stylus C86, WorkForce 7010, EcoTank
# ET-2750, B-500DN (ESC i, two bits a dot); six: Stylus Photo, Photo R300;
# eight: Photo R800 (red and blue), R2400 (light black), R1800.
gutenprint escp2-600 360 360dpi
gutenprint escp2-c86 360 360dpi
gutenprint escp2-c86 720 720dpi
gutenprint escp2-wf7010 360 360dpi
gutenprint escp2-et2750 360 360dpi
gutenprint escp2-b500dn 360 360dpi
gutenprint escp2-photo 360 360dpi
gutenprint escp2-r300 360 360dpi
gutenprint escp2-r800 360 360dpi
gutenprint escp2-r2400 360 360dpi
gutenprint escp2-r1800 720 720dpi
# Ghostscript's Epson colour devices.
device gs-escp stcolor 360
device gs-escp stcolor 720
device gs-escp epsonc 180
for upp in stc stc2 stc500p stcany; do
    for page in $(seq 1 "$pages"); do
        gs -q -dNOPAUSE -dBATCH -dSAFER -sPAPERSIZE=a4 "@$upp.upp" -sPageList="$page" -sOutputFile="$tmp/job" \
            "$here/marks.ps" 2>/dev/null || true
        judge gs-uniprint "$upp" 360 "$page" "$tmp/job" data
    done
done
fi
if [ "${SWEEP_ONLY:-}" != escp ]; then
# Ghostscript's ESC/Page colour lasers, each page printed as a document of
# its own (their jobs from -sPageList lack the job's set-up, units included).
# Their jobs hold the document's shapes, glyphs and RGB pictures in the
# colours Ghostscript's colour management gives them: their truth is the
# oracle's rendering with that conversion (cvk_colour_oracle --rgb-device),
# the document's figure beside it (see judge in sweep-common.sh).
for dev in lp8000c lp8300c lp9500c alc1900 alc8600 eplcolor lps6500; do
    for page in $(seq 1 "$pages"); do
        gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -sPageList="$page" -sOutputFile="$tmp/page.pdf" \
            "$here/marks.ps"
        gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE="$dev" -r600 -sOutputFile="$tmp/job" "$tmp/page.pdf" 2>/dev/null || true
        judge gs-escpage "$dev" 600 "$page" "$tmp/job" device
    done
done
fi
summary
