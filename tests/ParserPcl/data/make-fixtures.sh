#!/usr/bin/env bash
# Regenerates the printer-data fixtures of these tests. The tests never run
# this: the generated files are committed with their expected results in
# PrinterFixtureTests.cpp, which must be checked again after regenerating.
#
# three-pages.ps holds an A4 page of black text, an A4 page with red and blue
# shapes and a Letter page with a grey image. Ghostscript renders it at a low
# resolution to keep the files small; hand-made ESC/P 2 and ESC/Page jobs with
# every kind of skipped data are written by make-escp-fixtures.py. Further
# down, driver output of DeskJets, Epson printers and Gutenprint.
set -euo pipefail
cd "$(dirname "$0")"

render() {
    local device=$1 output=$2
    shift 2
    gs -q -dNOPAUSE -dBATCH -dSAFER -r75 -sDEVICE="$device" "$@" -sOutputFile="$output" three-pages.ps
}

render ljet4 ljet4.pcl
render ljet4 ljet4-copies2.pcl -dNumCopies=2
render ljet4d ljet4d-duplex.pcl
render ljet4d ljet4d-duplex-copies3.pcl -dNumCopies=3
render ljet4pjl ljet4pjl.pcl
render ljet4pjl ljet4pjl-copies2.pcl -dNumCopies=2
render pxlmono pxlmono.pxl
render pxlmono pxlmono-duplex.pxl -dDuplex=true
render pxlmono pxlmono-copies2.pxl -dNumCopies=2
render pxlcolor pxlcolor.pxl
render pxlcolor pxlcolor-duplex-copies2.pxl -dDuplex=true -dNumCopies=2

python3 make-escp-fixtures.py

# three-small.ps holds black text on A4, a small red square on A4 and black
# text on Letter. The colour DeskJets (cdj550, cdj500 and cdjcolor, which
# writes the same bytes as cdj500) print at their own resolution and end
# every page with a reset and ESC & l 0 H instead of a form feed; the older
# DeskJets end pages with form feeds, and make copies by repeating the pages.
small() {
    local device=$1 output=$2
    shift 2
    gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE="$device" "$@" -sOutputFile="$output" three-small.ps
}
small cdj550 cdj550.pcl
small cdj500 cdj500.pcl
small cdjcolor cdjcolor.pcl
small deskjet deskjet.pcl -r75
small deskjet deskjet-copies2.pcl -r75 -dNumCopies=2
small djet500 djet500.pcl -r75

# five-pages.ps: black text, a red shape, black rules, blue text, black text.
# Ghostscript's Epson drivers send the pages as bit images (ESC *, ESC ., and
# ESC r for the colour of the stroke), whose data holds form feeds and escapes.
for device in epson eps9high epsonc stcolor; do
    gs -q -dNOPAUSE -dBATCH -dSAFER -r72 -sPAPERSIZE=a4 -sDEVICE="$device" -sOutputFile="$device.prn" five-pages.ps
done

# Gutenprint's ESC/P 2 through its CUPS filters, the way a queue for an Epson
# inkjet prints: the Stylus Color 600 (ESC . raster, ESC r colours, no job
# header) and the Stylus C86 (EJL header, remote mode, ESC i raster).
if [ -x /usr/lib/cups/driver/gutenprint.5.3 ] && [ -x /usr/lib/cups/filter/gstoraster ]; then
    tmp=$(mktemp -d)
    trap 'rm -rf "$tmp"' EXIT
    gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -sOutputFile="$tmp/small.pdf" three-small.ps
    gutenprint() {
        local model=$1 resolution=$2 output=$3
        local options="PageSize=A4 Resolution=$resolution"
        /usr/lib/cups/driver/gutenprint.5.3 cat "gutenprint.5.3://$model/expert" > "$tmp/$model.ppd"
        PPD="$tmp/$model.ppd" /usr/lib/cups/filter/gstoraster 1 user fixture 1 "$options" "$tmp/small.pdf" 2>/dev/null |
            PPD="$tmp/$model.ppd" /usr/lib/cups/filter/rastertogutenprint.5.3 1 user fixture 1 "$options" \
                > "$output" 2>/dev/null
    }
    gutenprint escp2-600 360x90dpi gutenprint-escp2-600.prn
    gutenprint escp2-c86 360x180dpi gutenprint-escp2-c86.prn
fi
