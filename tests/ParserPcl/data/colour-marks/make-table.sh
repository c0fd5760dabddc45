#!/usr/bin/env bash
# Regenerates the small table of colour-marks jobs that the tests parse
# (ColourMarksTests.cpp): pages of marks.ps printed through one device of
# each colour family, and truth.txt, the colour oracle's verdict of each page
# at the job's resolution (file, resolution, page, non-neutral mm2, verdict);
# a raster job's truth (PWG Raster, Apple Raster, PCLm, and the PCL pages
# of DATA_PAGES) is its own decoded data, measured by cvk_raster_truth, and
# that of a vector RGB device (pxlcolor, an ESC/Page colour laser) the
# oracle's with the colours the device receives (--rgb-device). The tests
# never run this; sweep.sh judges the whole families.
#
# make-table.sh path/to/cvk_colour_oracle path/to/cvk_raster_truth
# Needs ghostscript, cups-filters and printer-driver-gutenprint.
set -euo pipefail
oracle=$(realpath "$1")
raster=$(realpath "$2")
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p jobs
# TABLE_ONLY=escp makes only the Epson jobs, appending their truth.
[ "${TABLE_ONLY:-}" = escp ] || : > truth.txt
# Writes the oracle's line for a job: file, resolution, page, and
# --rgb-device for a vector RGB device (pxlcolor, the ESC/Page lasers),
# whose truth is the document rendered with the colours it receives.
truth() {
    "$oracle" ${4:-} "$2" marks.ps | sed -n "s/^marks.ps page $3: \([0-9.]*\) mm2 [0-9]* dots \(.*\)/$1 $2 $3 \1 \2/p" >> truth.txt
}
# Writes the decoded data's line for a job: file, resolution, page.
data() {
    "$raster" "jobs/$1" | sed -n "s/^jobs\/$1 page 1: \([0-9.]*\) mm2 [0-9]* dots \(.*\)/$1 $2 $3 \1 \2/p" >> truth.txt
}
# Ghostscript devices: device, resolution, page, extra options. Raster
# formats take their data's truth; PCL devices the oracle's, but for the
# pages marked "data" in DATA_PAGES (device-resolution-page), where what
# the driver sends differs from the document.
DATA_PAGES=" cdj500-150-10 cdj850-150-8 cdnj500-300-10 cdj500-150-7 paintjet-300-7 "
device() {
    named "gs-$1-$2-$3" "$@"
}
# The same under a name of its own: name, device, resolution, page, options.
named() {
    gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE="$2" -r"$3" -sPageList="$4" "${@:5}" -sOutputFile="jobs/$1.prn" marks.ps
    case "$2" in
    pwgraster | appleraster | pclm | stcolor | epsonc) data "$1.prn" "$3" "$4" ;;
    pxlcolor) truth "$1.prn" "$3" "$4" --rgb-device ;;
    *) if [[ "$DATA_PAGES" == *" $2-$3-$4 "* ]]; then data "$1.prn" "$3" "$4"; else truth "$1.prn" "$3" "$4"; fi ;;
    esac
}
if [ "${TABLE_ONLY:-}" != escp ]; then
device cdj550 300 1
device cdj550 300 2
device cdj550 300 4
device cdj550 300 12
device cdj550 150 9
device cdj850 300 7
device cdj850 150 10
device cdj500 600 2
device djet500c 300 5
device djet500c 150 12
device paintjet 300 8
device cljet5c 150 11
device cdeskjet 300 6
# Composite grey that the DeskJet 500C dithers ink by ink with less cyan,
# its cells parting by less than the dither's noise: mono in the data; a red
# word that the DeskJet 850C's dither leaves below the area.
device cdj500 150 10
device cdj850 150 8
# 24-bit pixels in mode 10 (ESC * g # W format 6), composite grey that the
# colour profile turns warm: colour in the data.
device cdnj500 300 10
# A blue hairline one row of dots high; the same through the PaintJet's
# planes of red, green and blue, moved down the page by ESC & a + # V.
device cdj500 150 7
device paintjet 300 7
device pwgraster 150 1 -dcupsColorSpace=19 -dcupsBitsPerColor=8
device pwgraster 150 12 -dcupsColorSpace=19 -dcupsBitsPerColor=8
device appleraster 150 9 -dcupsColorSpace=19 -dcupsBitsPerColor=8
# PCL XL: a grey picture in RGB in run-length, JPEG and delta-row blocks, a
# page of greys, squares under and over 1 mm2, a coloured word.
device pxlcolor 150 9
named gs-pxlcolor-jpeg-150-9 pxlcolor 150 9 -dCompressMode=2
named gs-pxlcolor-deltarow-300-9 pxlcolor 300 9 -dCompressMode=3
device pxlcolor 300 11
device pxlcolor 600 12
device pxlcolor 300 1
device pxlcolor 150 8
# Composite grey that the colour profile turns warm: colour in the job.
device pxlcolor 300 10
# Composite grey that the colour profile turns warm: colour in the data.
device pwgraster 150 10 -dcupsColorSpace=19 -dcupsBitsPerColor=8
# PCLm's strips: a 0.5 mm square is its dots' area, not its strip's.
device pclm 150 12
device pclm 150 10
# Gutenprint's DeskJet 850C: planes dithered one by one, composite grey.
/usr/lib/cups/driver/gutenprint.5.3 cat gutenprint.5.3://pcl-850/expert > "$tmp/850.ppd"
for page in 6 10; do
    gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -sPageList="$page" -sOutputFile="$tmp/page.pdf" marks.ps
    options="PageSize=A4 Resolution=150dpi StpQuality=Draft"
    PPD="$tmp/850.ppd" /usr/lib/cups/filter/gstoraster 1 user table 1 "$options" "$tmp/page.pdf" 2>/dev/null |
        PPD="$tmp/850.ppd" /usr/lib/cups/filter/rastertogutenprint.5.3 1 user table 1 "$options" \
            > "jobs/gutenprint-pcl850-150-$page.prn" 2>/dev/null
    truth "gutenprint-pcl850-150-$page.prn" 150 "$page"
done
fi
# Epson: Gutenprint's ESC/P 2 (stacked heads, two bits a dot, light inks),
# Ghostscript's stcolor and uniprint (ESC . in the ink ESC r selects) and
# epsonc (ESC/P bit images in the ribbon colour ESC r selects), each
# with its data's truth: marks below the minimal area that were billed
# colour, and colour marks that fixed ink cells missed.
escp2() {  # model, resolution, page
    /usr/lib/cups/driver/gutenprint.5.3 cat "gutenprint.5.3://$1/expert" > "$tmp/$1.ppd"
    gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -sPageList="$3" -sOutputFile="$tmp/page.pdf" marks.ps
    local options="PageSize=A4 Resolution=${2}dpi"
    PPD="$tmp/$1.ppd" /usr/lib/cups/filter/gstoraster 1 user table 1 "$options" "$tmp/page.pdf" 2>/dev/null |
        PPD="$tmp/$1.ppd" /usr/lib/cups/filter/rastertogutenprint.5.3 1 user table 1 "$options" \
            > "jobs/gutenprint-$1-$2-$3.prn" 2>/dev/null
    data "gutenprint-$1-$2-$3.prn" "$2" "$3"
}
escp2 escp2-c86 360 2
escp2 escp2-photo 360 12
escp2 escp2-photo 360 6
escp2 escp2-600 360 13
device stcolor 360 5
device stcolor 360 12
# epsonc's bit images, one per ribbon colour, placed by tab stops.
device epsonc 180 9
gs -q -dNOPAUSE -dBATCH -dSAFER -sPAPERSIZE=a4 @stc.upp -sPageList=12 -sOutputFile=jobs/uniprint-stc-360-12.prn marks.ps
data uniprint-stc-360-12.prn 360 12
# An ESC/Page colour laser, the page printed as a document of its own:
# composite grey, warm as it receives it.
gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -sPageList=10 -sOutputFile="$tmp/page.pdf" marks.ps
gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=lp8300c -r600 -sOutputFile=jobs/gs-lp8300c-600-10.prn "$tmp/page.pdf"
truth gs-lp8300c-600-10.prn 600 10 --rgb-device
ls -l jobs >&2
