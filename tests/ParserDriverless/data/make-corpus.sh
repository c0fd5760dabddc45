#!/usr/bin/env bash
# Regenerates the driverless jobs of these tests: what CUPS hands the backend
# of an IPP Everywhere or AirPrint queue, made by the tools that make it on
# Debian 12. The tests never run this: the files are committed with their
# truth in DriverlessParserTests.cpp, which must be checked again after
# regenerating (corpus.txt lists how each file was made).
#
# five-pages.ps: five pages, 2 and 4 in colour; three-small.ps: black text on
# A4, a small red square on A4, black text on Letter (both from ParserPcl).
# Rasters are rendered at 36 dpi to keep them small.
set -euo pipefail
cd "$(dirname "$0")"
cp ../../ParserPcl/data/five-pages.ps ../../ParserPcl/data/three-small.ps .
: > corpus.txt
made() { echo "$1: $2" >> corpus.txt; }

gs_to() {
    local device=$1 output=$2 input=$3
    shift 3
    gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE="$device" "$@" -sOutputFile="$output" "$input" 2>/dev/null
    made "$output" "gs -sDEVICE=$device $* $input"
}
A4=(-sPAPERSIZE=a4 -dFIXEDMEDIA)

# PDF from Ghostscript, cairo (through Poppler) and qpdf's rewrites.
gs_to pdfwrite gs-five.pdf five-pages.ps "${A4[@]}"
gs_to pdfwrite gs-three.pdf three-small.ps
pdftocairo -pdf gs-five.pdf cairo-five.pdf
made cairo-five.pdf "pdftocairo -pdf gs-five.pdf (cairo: black as 0 0 0 rg, DeviceRGB groups)"
qpdf --object-streams=generate cairo-five.pdf qpdf-objstm.pdf
made qpdf-objstm.pdf "qpdf --object-streams=generate cairo-five.pdf"
qpdf --linearize gs-three.pdf qpdf-linear.pdf
made qpdf-linear.pdf "qpdf --linearize gs-three.pdf"
qpdf --encrypt "" owner 256 -- gs-five.pdf qpdf-encrypted.pdf
made qpdf-encrypted.pdf "qpdf --encrypt '' owner 256 -- gs-five.pdf (empty user password)"
qpdf --rotate=+90:1-3 gs-three.pdf qpdf-rotate.pdf
made qpdf-rotate.pdf "qpdf --rotate=+90:1-3 gs-three.pdf"

# pdftopdf as cupsd runs it for a queue with CUPS's driverless PPD.
# Without hardware copies in the PPD it repeats the pages itself, and pads
# each copy of an odd page count with a blank page for two-sided printing.
pdftopdf() {
    local output=$1 copies=$2 options=$3
    CONTENT_TYPE=application/pdf FINAL_CONTENT_TYPE=application/pdf \
        /usr/lib/cups/filter/pdftopdf 1 user title "$copies" "$options" cairo-five.pdf > "$output" 2>/dev/null
    made "$output" "pdftopdf copies $copies '$options' cairo-five.pdf"
}
pdftopdf pdftopdf-nup2.pdf 1 "number-up=2 PageSize=A4"
pdftopdf pdftopdf-ranges.pdf 1 "page-ranges=2-4 PageSize=A4"
pdftopdf pdftopdf-odd.pdf 1 "page-set=odd PageSize=A4"
pdftopdf pdftopdf-letter-fit.pdf 1 "PageSize=Letter fit-to-page"
pdftopdf pdftopdf-copies2.pdf 2 "PageSize=A4 Collate=True"
pdftopdf pdftopdf-copies2-duplex.pdf 2 "PageSize=A4 Collate=True sides=two-sided-long-edge"

# PCLm from Ghostscript's devices.
gs_to pclm gs-five.pclm five-pages.ps "${A4[@]}" -r36
gs_to pclm8 gs-five-grey.pclm five-pages.ps "${A4[@]}" -r36

# PWG Raster from Ghostscript and cups-filters, grey and colour, mixed sizes,
# duplex and copies in the page headers.
gs_to pwgraster gs-five-srgb.pwg five-pages.ps "${A4[@]}" -r36 -dcupsColorSpace=19 -dcupsBitsPerColor=8
gs_to pwgraster gs-five-black.pwg five-pages.ps "${A4[@]}" -r36
gs_to pwgraster gs-three-sgray.pwg three-small.ps -r36 -dcupsColorSpace=18 -dcupsBitsPerColor=8
gs_to pwgraster gs-three-srgb16-duplex.pwg three-small.ps -r36 -dcupsColorSpace=19 -dcupsBitsPerColor=16 -dDuplex
gs_to pwgraster gs-five-cmyk-copies2.pwg five-pages.ps "${A4[@]}" -r36 -dcupsColorSpace=6 -dcupsBitsPerColor=8 -dNumCopies=2
raster_filter() {
    local filter=$1 output=$2 options=$3
    CONTENT_TYPE=application/pdf FINAL_CONTENT_TYPE=image/pwg-raster \
        "/usr/lib/cups/filter/$filter" 1 user title 1 "$options" gs-five.pdf > "$output" 2>/dev/null
    made "$output" "$filter '$options' gs-five.pdf"
}
raster_filter pdftoraster pdftoraster-color.pwg "media=iso_a4_210x297mm Resolution=36dpi print-color-mode=color"
raster_filter gstoraster gstoraster-mono.pwg "media=iso_a4_210x297mm Resolution=36dpi print-color-mode=monochrome"
raster_filter gstoraster gstoraster-color.pwg "media=iso_a4_210x297mm Resolution=36dpi print-color-mode=color"

# Apple Raster from Ghostscript's URF device.
gs_to urf gs-five-srgb.urf five-pages.ps "${A4[@]}" -r36 -dcupsColorSpace=19 -dcupsBitsPerColor=8
gs_to urf gs-three-grey.urf three-small.ps -r36

rm five-pages.ps three-small.ps
