#!/usr/bin/env bash
# Prints every page of marks.ps (one small known mark a page: squares of 0.5
# to 5 mm, a hairline, a coloured word, a grey picture in RGB, composite grey,
# a page of grey only) as a job of its own through the colour drivers of the
# corpora, at several resolutions, and judges whether the parser bills each
# job's page as the truth says. A job's truth is its own decoded data,
# measured by cvk_raster_truth (PWG Raster, Apple Raster, PCLm, PCL raster
# of the configurations it decodes, and hpcups' JetReady PCL XL, whose JPEG
# strips it decodes on its own): what the driver sends to the
# paper, which may differ from the document (a composite grey that a colour
# profile turns warm, grey dithered ink by ink). pxlcolor's PCL XL has no
# decoder here: its jobs hold the document's shapes, text and pictures in
# the RGB colours Ghostscript's colour management gives them, so their truth
# is the colour oracle's rendering with that same conversion
# (cvk_colour_oracle --rgb-device: composite grey arrives warm, as the job
# carries it). Other jobs it cannot decode take the colour oracle's: it
# renders the same page at the job's resolution and measures its
# non-neutral area (see the README's colour rule). Writes one
# line per job to results.txt (family, device, resolution, page, the truth's
# mm2, truth, parser's verdict, right or wrong, in brackets the document's
# mm2 and verdict when the truth is the data's or the RGB device's, or
# "undecoded", and whether a parse in small chunks agrees) and the count of
# jobs billed right per family. Not run by the tests (it takes minutes); run it after
# changing colour judging and commit results.txt. results-before.txt keeps
# the same sweep with the parser as it was before the colour rule.
#
# sweep.sh path/to/cvk_colour_oracle path/to/cvk_raster_truth path/to/cvk_parse_job [results file]
# Needs ghostscript, cups-filters, printer-driver-hpcups, printer-driver-pxljr
# and printer-driver-gutenprint.
set -euo pipefail
oracle=$(realpath "$1")
raster=$(realpath "$2")
parse=$(realpath "$3")
here=$(cd "$(dirname "$0")" && pwd)
results=$(realpath -m "${4:-$here/results.txt}")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
pages=$(grep -c '^%%Page:' "$here/marks.ps")

. "$here/sweep-common.sh"

: > "$results"
# SWEEP_ONLY=cups judges only the families printed through CUPS filters.
if [ "${SWEEP_ONLY:-}" != cups ]; then
# Every colour PCL device at 300 dpi; a few of each family also at 150 and 600.
for dev in cdj500 cdj550 cdj670 cdj850 cdj890 cdj1600 cdeskjet cdjcolor cdnj500 chp2200 djet500c declj250 paintjet pjxl pjxl300 cljet5c; do
    device gs-pcl "$dev" 300
done
for dpi in 150 600; do
    for dev in cdj500 cdj550 cdj850 djet500c paintjet cljet5c; do
        device gs-pcl "$dev" "$dpi"
    done
done
for dpi in 150 300 600; do
    TRUTH=device device gs-pxl pxlcolor "$dpi"
    device gs-raster pwgraster "$dpi" -dcupsColorSpace=19 -dcupsBitsPerColor=8
    device gs-raster appleraster "$dpi" -dcupsColorSpace=19 -dcupsBitsPerColor=8
    device gs-raster pclm "$dpi"
done
fi
# Ghostscript's pcl3 device prints grey by default (its data holds black
# alone), so the oracle's colour pages do not reach it.

# hpcups: an inkjet and a colour laser of PCL 3 GUI, and a JetReady laser.
drv() { /usr/lib/cups/daemon/cups-driverd cat "drv:///$1" > "$tmp/$2.ppd" 2>/dev/null || true; }
drv hpcups.drv/hp-deskjet_5550.ppd dj5550
drv hpcups.drv/hp-color_laserjet_cp1515n-pcl3.ppd clj1515
cups hpcups deskjet5550 "$tmp/dj5550.ppd" /usr/lib/cups/filter/hpcups 300 "PageSize=A4"
cups hpcups colorlaserjet1515 "$tmp/clj1515.ppd" /usr/lib/cups/filter/hpcups 600 "PageSize=A4"
# hpcups' JetReady colour lasers: PCL XL whose raster is JPEG strips sent as
# vendor data, without their headers, in components of hplip's own (see
# PrinterLanguageParser/Parser/pcl6/JetReady.h).
drv hpcups.drv/hp-color_laserjet_3600.ppd clj3600
cups hpcups-jetready colorlaserjet3600 "$tmp/clj3600.ppd" /usr/lib/cups/filter/hpcups 600 "PageSize=A4"
# pxljr (Ghostscript's IJS server through foomatic-rip) writes the same.
/usr/lib/cups/driver/pxljr cat "pxljr:0/ppd/pxljr/HP-Color_LaserJet_3600-pxljr.ppd" > "$tmp/pxljr.ppd" 2>/dev/null || true
cups pxljr colorlaserjet3600 "$tmp/pxljr.ppd" "$(command -v foomatic-rip)" 600 "PageSize=A4"
# Gutenprint's PCL family: a DeskJet with its planes dithered one by one.
gutenprint() {
    local model=$1 dpi=$2 options=$3
    /usr/lib/cups/driver/gutenprint.5.3 cat "gutenprint.5.3://$model/expert" > "$tmp/$model.ppd"
    cups gutenprint-pcl "$model" "$tmp/$model.ppd" /usr/lib/cups/filter/rastertogutenprint.5.3 "$dpi" "$options"
}
gutenprint pcl-850 300 "PageSize=A4 Resolution=300dpi"
# (its 600 dpi is a monochrome mode)
gutenprint pcl-850 150 "PageSize=A4 Resolution=150dpi"
gutenprint pcl-g_c 300 "PageSize=A4 Resolution=300dpi"
summary
printf 'jobs whose data and document differ: %s; jobs not decoded: %s\n' \
    "$(awk '$9 ~ /^\([0-9]/ && $6 != substr($10, 1, length($10) - 1)' "$results" | wc -l)" \
    "$(grep -c '(undecoded)' "$results" || true)" | tee -a "$results"
