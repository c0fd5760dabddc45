#!/usr/bin/env bash
# Regenerates the driver corpus in drivers/: small documents with a known
# truth printed through the Debian drivers that write PCL 3, PCL 5, PCL XL,
# PJL or HP-GL/2, the way cupsd runs them (gstoraster, then the driver's
# filter with the queue's PPD in the environment) or as Ghostscript devices.
# The tests never run this: the files are committed and their truth lives in
# PrinterFixtureTests.cpp (DRIVER_CORPUS), which must be checked again after
# regenerating. CVK_CORPUS_ALL=1 parser_pcl_tests --gtest_filter='DriverCorpus*'
# counts the jobs billed right, the known faults included. Needs ghostscript,
# cups-filters, printer-driver-hpcups, printer-driver-gutenprint and
# printer-driver-brlaser.
#
# three-small.ps: black text on A4, a red square on A4, black text on Letter.
# five-pages.ps (on A4): mono, colour, mono, colour, mono; its pages 1, 3 and
# 5 make a mono job.
#
# make-driver-corpus.sh --count path/to/parser_pcl_tests writes instead the
# jobs billed right and wrong to drivers-results.txt.
set -euo pipefail
cd "$(dirname "$0")"
if [ "${1:-}" = --count ]; then
    # The known faults fail, so the run's status is not the script's.
    results=$(CVK_CORPUS_ALL=1 "$2" --gtest_filter='DriverCorpus*' 2>/dev/null || true)
    sed -n 's/^\[ *\(OK\|FAILED\) *\] DriverCorpus[^ ]*\/\([a-z0-9_]*\)[ ,].*/\2 \1/p' <<< "$results" |
        sed 's/ OK$/ right/; s/ FAILED$/ wrong/' | sort -u > drivers-results.txt
    printf '%s of %s billed right\n' "$(grep -c ' right$' drivers-results.txt)" "$(wc -l < drivers-results.txt)" |
        tee -a drivers-results.txt
    exit 0
fi
out=drivers
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -sOutputFile="$tmp/small.pdf" three-small.ps
gs -q -dNOPAUSE -dBATCH -dSAFER -sPAPERSIZE=a4 -dFIXEDMEDIA -sDEVICE=pdfwrite -sOutputFile="$tmp/five.pdf" five-pages.ps

# Ghostscript devices: device, output name, document, options.
device() {
    local device=$1 output=$2 document=$3
    shift 3
    gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE="$device" "$@" -sOutputFile="$out/$output" "$document" 2>/dev/null
}
# DeskJet 6xx/8xx/9xx/1600: one raster group per page, rows after ESC * b # Y.
device cdj850 gs-cdj850.pcl three-small.ps
device cdj850 gs-cdj850-mono.pcl five-pages.ps -sPAPERSIZE=a4 -sPageList=1,3,5
device cdj670 gs-cdj670.pcl three-small.ps
device cdj1600 gs-cdj1600.pcl three-small.ps
device cdj890 gs-cdj890.pcl three-small.ps
device cdjmono gs-cdjmono.pcl three-small.ps
device cdeskjet gs-cdeskjet.pcl three-small.ps
device cdnj500 gs-cdnj500.pcl three-small.ps
device chp2200 gs-chp2200.pcl three-small.ps
device djet500c gs-djet500c.pcl three-small.ps
device declj250 gs-declj250.pcl three-small.ps -r75
device paintjet gs-paintjet.pcl three-small.ps
device pjxl gs-pjxl.pcl three-small.ps
device pjxl300 gs-pjxl300.pcl three-small.ps
device cljet5 gs-cljet5.pcl three-small.ps -r75
device cljet5c gs-cljet5c.pcl three-small.ps -r75
device ljet3 gs-ljet3.pcl three-small.ps
device ljet2p gs-ljet2p.pcl three-small.ps -r75
device laserjet gs-laserjet.pcl three-small.ps -r75
device lj4dith gs-lj4dith.pcl three-small.ps -r75
# hpdj* and pcl3 keep one paper size: the five A4 pages.
device hpdj550c gs-hpdj550c.pcl five-pages.ps -sPAPERSIZE=a4
device hpdj340 gs-hpdj340.pcl five-pages.ps -sPAPERSIZE=a4
device pcl3 gs-pcl3.pcl five-pages.ps -sPAPERSIZE=a4
# PCL XL: pages of two sizes.
device pxlmono gs-pxlmono.pxl three-small.ps -r75
device pxlcolor gs-pxlcolor.pxl three-small.ps -r75
device lj5mono gs-lj5mono.pxl three-small.ps -r75
device lj5gray gs-lj5gray.pxl three-small.ps -r75
# HP-GL/2 with RTL raster.
device dnj650c gs-dnj650c.pcl three-small.ps -r75

# The chain cupsd runs: gstoraster with the queue's PPD, then the driver.
# ppd, driver filter, output name, document, options.
cups() {
    local ppd=$1 filter=$2 output=$3 document=$4 options=$5
    PPD="$ppd" /usr/lib/cups/filter/gstoraster 1 user corpus 1 "$options" "$document" 2>/dev/null |
        PPD="$ppd" "$filter" 1 user corpus 1 "$options" > "$out/$output" 2>/dev/null
}
drv() { /usr/lib/cups/daemon/cups-driverd cat "drv:///$1" > "$tmp/$2.ppd" 2>/dev/null || true; }

# hpcups: one PPD of each model class, colour and grey, duplex where it has it.
hpcups=/usr/lib/cups/filter/hpcups
drv hpcups.drv/hp-deskjet_5550.ppd dj5550
drv hpcups.drv/hp-officejet_pro_8000_a809.ppd oj8000
drv hpcups.drv/hp-laserjet_1320.ppd lj1320
drv hpcups.drv/hp-color_laserjet_cp1515n-pcl3.ppd clj1515
drv hpcups.drv/hp-deskjet_6940_series.ppd dj6940
cups "$tmp/dj5550.ppd" $hpcups hpcups-deskjet5550.pcl "$tmp/small.pdf" "PageSize=A4"
cups "$tmp/dj5550.ppd" $hpcups hpcups-deskjet5550-grey.pcl "$tmp/five.pdf" "PageSize=A4 ColorModel=KGray"
cups "$tmp/dj6940.ppd" $hpcups hpcups-deskjet6940.pcl "$tmp/five.pdf" "PageSize=A4"
cups "$tmp/oj8000.ppd" $hpcups hpcups-officejet8000-duplex.pcl "$tmp/five.pdf" "PageSize=A4 Duplex=DuplexNoTumble"
cups "$tmp/lj1320.ppd" $hpcups hpcups-laserjet1320.pcl "$tmp/small.pdf" "PageSize=A4"
cups "$tmp/lj1320.ppd" $hpcups hpcups-laserjet1320-duplex.pcl "$tmp/five.pdf" "PageSize=A4 Duplex=DuplexNoTumble"
cups "$tmp/clj1515.ppd" $hpcups hpcups-colorlaserjet1515.pcl "$tmp/small.pdf" "PageSize=A4"

# CUPS's own rastertohp: DeskJet (colour) and LaserJet (duplex).
drv sample.drv/deskjet.ppd deskjet
drv sample.drv/laserjet.ppd laserjet
cups "$tmp/deskjet.ppd" /usr/lib/cups/filter/rastertohp rastertohp-deskjet.pcl "$tmp/five.pdf" "PageSize=A4 Resolution=150dpi"
cups "$tmp/laserjet.ppd" /usr/lib/cups/filter/rastertohp rastertohp-laserjet-duplex.pcl "$tmp/five.pdf" "PageSize=A4 Resolution=150dpi Duplex=DuplexNoTumble"

# cups-filters' rastertopclx: a DesignJet (HP-GL/2 with RTL raster), in the
# PPD's default grey and in colour.
drv cupsfilters.drv/dsgnjt750cpcl.ppd dj750c
cups "$tmp/dj750c.ppd" /usr/lib/cups/filter/rastertopclx rastertopclx-designjet750c.pcl "$tmp/five.pdf" "PageSize=A4 Resolution=75dpi"
cups "$tmp/dj750c.ppd" /usr/lib/cups/filter/rastertopclx rastertopclx-designjet750c-colour.pcl "$tmp/five.pdf" \
    "PageSize=A4 Resolution=150dpi ColorModel=rgb"

# Gutenprint's pcl-* family.
gutenprint() {
    local model=$1 output=$2 document=$3 options=$4
    /usr/lib/cups/driver/gutenprint.5.3 cat "gutenprint.5.3://$model/expert" > "$tmp/$model.ppd"
    cups "$tmp/$model.ppd" /usr/lib/cups/filter/rastertogutenprint.5.3 "$output" "$document" "$options"
}
gutenprint pcl-850 gutenprint-deskjet850c.pcl "$tmp/five.pdf" "PageSize=A4 Resolution=150dpi"
gutenprint pcl-g_5e gutenprint-pcl5e-duplex.pcl "$tmp/five.pdf" "PageSize=A4 Resolution=150dpi Duplex=DuplexNoTumble"
gutenprint pcl-g_c gutenprint-colorlaser.pcl "$tmp/small.pdf" "PageSize=A4 StpQuality=Draft Resolution=150dpi"

# brlaser: PJL paper by name only.
drv brlaser.drv/br5030.ppd hl5030
cups "$tmp/hl5030.ppd" /usr/lib/cups/filter/rastertobrlaser brlaser-hl5030.pcl "$tmp/five.pdf" "PageSize=A4 Resolution=300dpi"

# pxljr (Color LaserJet 3500 family, JetReady through foomatic-rip) writes
# megabytes a page, too much to commit; its VendorUnique data is covered by
# PCL6ParserTests.

ls -l "$out"
