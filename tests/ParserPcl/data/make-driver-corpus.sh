#!/usr/bin/env bash
# Regenerates the driver corpus in drivers/: small documents with a known
# truth printed through the Debian drivers that write PCL 3, PCL 5, PCL XL,
# PJL or HP-GL/2, and through those of languages the parser does not read,
# the way cupsd runs them (gstoraster, then the driver's filter with the
# queue's PPD in the environment; foomatic-rip with the PPD) or as
# Ghostscript devices. The tests never run this: the files are committed and
# their truth lives in PrinterFixtureTests.cpp (DRIVER_CORPUS), which must be
# checked again after regenerating. CVK_CORPUS_ALL=1 parser_pcl_tests
# --gtest_filter='DriverCorpus*' counts the jobs billed right, the known
# faults included. Needs ghostscript, cups-filters, poppler-utils,
# foomatic-db-engine, foomatic-db, printer-driver-hpcups,
# printer-driver-hpijs, printer-driver-gutenprint, printer-driver-brlaser,
# printer-driver-oki, printer-driver-fujixerox, printer-driver-foo2zjs,
# printer-driver-splix, printer-driver-min12xxw, printer-driver-pnm2ppa,
# printer-driver-m2300w, printer-driver-c2esp, printer-driver-ptouch,
# printer-driver-sag-gdi and printer-driver-cjet. Drivers' jobs carry the
# date and host in their PJL, so regenerated files differ from the
# committed ones.
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
drv hpcups.drv/hp-laserjet_1010.ppd lj1010
cups "$tmp/dj5550.ppd" $hpcups hpcups-deskjet5550.pcl "$tmp/small.pdf" "PageSize=A4"
cups "$tmp/dj5550.ppd" $hpcups hpcups-deskjet5550-grey.pcl "$tmp/five.pdf" "PageSize=A4 ColorModel=KGray"
cups "$tmp/dj6940.ppd" $hpcups hpcups-deskjet6940.pcl "$tmp/five.pdf" "PageSize=A4"
cups "$tmp/oj8000.ppd" $hpcups hpcups-officejet8000-duplex.pcl "$tmp/five.pdf" "PageSize=A4 Duplex=DuplexNoTumble"
cups "$tmp/lj1320.ppd" $hpcups hpcups-laserjet1320.pcl "$tmp/small.pdf" "PageSize=A4"
cups "$tmp/lj1320.ppd" $hpcups hpcups-laserjet1320-duplex.pcl "$tmp/five.pdf" "PageSize=A4 Duplex=DuplexNoTumble"
cups "$tmp/clj1515.ppd" $hpcups hpcups-colorlaserjet1515.pcl "$tmp/small.pdf" "PageSize=A4"
# A mono laser of PCL XL whose raster is vendor data in a space of its own.
cups "$tmp/lj1010.ppd" $hpcups hpcups-laserjet1010.pxl "$tmp/small.pdf" "PageSize=A4"
# A JetReady colour laser: PCL XL whose raster is JPEG strips sent as vendor
# data, always at 600 dpi, so on an index card: a red square of 3 mm, then a
# grey picture in RGB (jetready-card.ps).
drv hpcups.drv/hp-color_laserjet_3600.ppd clj3600
gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -sOutputFile="$tmp/card.pdf" jetready-card.ps
cups "$tmp/clj3600.ppd" $hpcups hpcups-colorlaserjet3600.pxl "$tmp/card.pdf" "PageSize=Card3x5"

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
# megabytes a page, too much to commit; it writes JetReady as hpcups does
# (hpcups-colorlaserjet3600.pxl), and the colour-marks sweep judges it.

# foomatic-rip with the queue's PPD, as cupsd runs it: on cupsd's filter path,
# so that it turns the PDF into PostScript with CUPS's pdftops for the drivers
# that read no PDF. ppd, output name, document, options.
ppd() { /usr/lib/cups/daemon/cups-driverd cat "$1" > "$tmp/$2.ppd" 2>/dev/null || true; }
foomatic() {
    local ppd=$1 output=$2 document=$3 options=$4
    PATH=/usr/lib/cups/filter:$PATH PPD="$ppd" foomatic-rip 1 user corpus 1 "$options" "$document" > "$out/$output" 2>/dev/null
}
# The same with the PPD given by its cups-driverd uri.
fjob() {
    local name=${1//[^A-Za-z0-9]/_}
    [ -s "$tmp/$name.ppd" ] || ppd "$1" "$name"
    foomatic "$tmp/$name.ppd" "$2" "$3" "$4"
}

# hpijs through Ghostscript's ijs device, one PPD of each of its model classes.
fjob drv:///hpijs.drv/hp-deskjet_990c-hpijs.ppd hpijs-deskjet990c.pcl "$tmp/small.pdf" "PageSize=A4"
fjob drv:///hpijs.drv/hp-deskjet_990c-hpijs.ppd hpijs-deskjet990c-duplex.pcl "$tmp/five.pdf" "PageSize=A4 Duplex=DuplexNoTumble"
fjob drv:///hpijs.drv/hp-deskjet_5550-hpijs.ppd hpijs-deskjet5550.pcl "$tmp/small.pdf" "PageSize=A4 Quality=300FastDraftColorCMYK"
fjob drv:///hpijs.drv/hp-deskjet_5550-hpijs.ppd hpijs-deskjet5550-grey.pcl "$tmp/five.pdf" "PageSize=A4 Quality=300FastDraftGrayscaleK"
fjob drv:///hpijs.drv/hp-deskjet_6940_series-hpijs.ppd hpijs-deskjet6940.pcl "$tmp/small.pdf" "PageSize=A4 Quality=300FastDraftColorCMYK"
fjob drv:///hpijs.drv/hp-deskjet_630c-hpijs.ppd hpijs-deskjet630c.pcl "$tmp/small.pdf" "PageSize=A4"
fjob drv:///hpijs.drv/hp-deskjet_540-hpijs.ppd hpijs-deskjet540.pcl "$tmp/small.pdf" "PageSize=A4"
fjob drv:///hpijs.drv/hp-deskjet_350-hpijs.ppd hpijs-deskjet350.pcl "$tmp/small.pdf" "PageSize=A4"
fjob drv:///hpijs.drv/hp-deskjet_850c-hpijs.ppd hpijs-deskjet850c.pcl "$tmp/small.pdf" "PageSize=A4"
fjob drv:///hpijs.drv/hp-photosmart_100-hpijs.ppd hpijs-photosmart100.pcl "$tmp/small.pdf" "PageSize=A4"
fjob drv:///hpijs.drv/apollo-2100-hpijs.ppd hpijs-apollo2100.pcl "$tmp/small.pdf" "PageSize=A4"
fjob drv:///hpijs.drv/hp-officejet_pro_k550-hpijs.ppd hpijs-officejetk550-duplex.pcl "$tmp/five.pdf" "PageSize=A4 Quality=300FastDraftColorCMYK Duplex=DuplexNoTumble"
fjob drv:///hpijs.drv/hp-laserjet_1320-hpijs.ppd hpijs-laserjet1320.pcl "$tmp/small.pdf" "PageSize=A4 Quality=300GrayscaleK"
fjob drv:///hpijs.drv/hp-laserjet_1320-hpijs.ppd hpijs-laserjet1320-duplex.pcl "$tmp/five.pdf" "PageSize=A4 Quality=300DraftGrayscaleK Duplex=DuplexNoTumble"
fjob drv:///hpijs.drv/hp-color_laserjet_4600-hpijs-pcl3.ppd hpijs-colorlaserjet4600.pcl "$tmp/small.pdf" "PageSize=A4 Quality=150ColorCMYK"
fjob foomatic:Brother-HL-960-hpijs-pcl5e.ppd hpijs-pcl5e-hl960.pcl "$tmp/five.pdf" "PageSize=A4 PrintoutMode=Draft"
fjob foomatic:Brother-HL-2600CN-hpijs-pcl5c.ppd hpijs-pcl5c-hl2600cn.pcl "$tmp/small.pdf" "PageSize=A4 PrintoutMode=Draft"

# Ghostscript's PCL devices as the foomatic PPDs run them (with their PJL).
fjob foomatic:HP-LaserJet_4-ljet4.ppd foomatic-ljet4.pcl "$tmp/small.pdf" "PageSize=A4 Resolution=150x150dpi"
fjob foomatic:HP-LaserJet_4Si-ljet4d.ppd foomatic-ljet4d-duplex.pcl "$tmp/five.pdf" "PageSize=A4 Resolution=75x75dpi Duplex=DuplexNoTumble"
fjob foomatic:HP-LaserJet_3D-ljet3d.ppd foomatic-ljet3d-duplex.pcl "$tmp/five.pdf" "PageSize=A4 Resolution=75x75dpi Duplex=DuplexNoTumble"
fjob foomatic:HP-LaserJet_Plus-ljetplus.ppd foomatic-ljetplus.pcl "$tmp/small.pdf" "PageSize=A4 Resolution=75x75dpi"
fjob foomatic:HP-LaserJet_4V_4LJ_Pro-lj4dithp.ppd foomatic-lj4dithp.pcl "$tmp/small.pdf" "PageSize=A4 Resolution=300x300dpi"
fjob foomatic:DEC-LJ250-lj250.ppd foomatic-lj250.pcl "$tmp/small.pdf" "PageSize=A4 Resolution=90x90dpi"
fjob foomatic:HP-2563-lp2563.ppd foomatic-lp2563.pcl "$tmp/small.pdf" "PageSize=A4 Resolution=75x75dpi"
fjob foomatic:Oce-9050-oce9050.ppd foomatic-oce9050.pcl "$tmp/small.pdf" "PageSize=A4 Resolution=75x75dpi"
fjob foomatic:Brother-HL-1250-hl1250.ppd foomatic-hl1250.pcl "$tmp/small.pdf" "PageSize=A4 Resolution=75x75dpi"
fjob foomatic:HP-LaserJet_5-pxlmono.ppd foomatic-pxlmono-duplex.pxl "$tmp/five.pdf" "PageSize=A4 PrintoutMode=Draft Duplex=DuplexNoTumble"
fjob foomatic:HP-Color_LaserJet_4600-pxlcolor.ppd foomatic-pxlcolor.pxl "$tmp/small.pdf" "PageSize=A4 PrintoutMode=Draft"
# pxldpl: PCL XL that PJL names DPL.
fjob foomatic:Dell-3010cn-pxldpl.ppd foomatic-pxldpl.pxl "$tmp/small.pdf" "PageSize=A4 PrintoutMode=Draft"

# printer-driver-oki's PCL LaserJets (rastertookimonochrome).
okippd=/usr/share/ppd/okidata/B2200PCL.ppd
cups $okippd /usr/lib/cups/filter/rastertookimonochrome oki-b2200.pcl "$tmp/five.pdf" "PageSize=A4 Resolution=150dpi"

# printer-driver-fujixerox: the PDF, made for the printer by pdftopdffx,
# behind PJL.
ppd fujixerox:0/cups/model/FujiXerox/en/fxlinuxprint.ppd fx
PPD="$tmp/fx.ppd" /usr/lib/cups/filter/pdftopdffx 1 user corpus 1 "PageSize=A4" "$tmp/small.pdf" 2>/dev/null |
    PPD="$tmp/fx.ppd" /usr/lib/cups/filter/pdftopjlfx 1 user corpus 1 "PageSize=A4" > "$out/fujixerox-pdf.pjl" 2>/dev/null

# Drivers of languages the parser does not read, alone or behind PJL: one
# small job of three-small.ps for each output language.
fpdf="$tmp/small.pdf"
fjob foo2zjs:0/ppd/foo2zjs/HP-LaserJet_1020.ppd foo2zjs-laserjet1020.zjs "$fpdf" "PageSize=A4 Resolution=600x600dpi"
fjob foo2zjs:0/ppd/foo2zjs/Minolta-magicolor_2300_DL.ppd foo2zjs-magicolor2300.zjs "$fpdf" "PageSize=A4 Resolution=600x600dpi"
fjob foo2zjs:0/ppd/foo2zjs/HP-Color_LaserJet_2600n.ppd foo2hp-colorlaserjet2600.zjs "$fpdf" "PageSize=A4"
fjob foo2zjs:0/ppd/foo2zjs/HP-LaserJet_P1005.ppd foo2xqx-laserjetp1005.xqx "$fpdf" "PageSize=A4 Resolution=600x600dpi"
fjob foo2zjs:0/ppd/foo2zjs/Xerox-Phaser_6121MFP.ppd foo2lava-phaser6121.lava "$fpdf" "PageSize=A4 Resolution=600x600dpi"
fjob foo2zjs:0/ppd/foo2zjs/Samsung-CLP-300.ppd foo2qpdl-clp300.qpdl "$fpdf" "PageSize=A4 Resolution=600x600dpi"
fjob foo2zjs:0/ppd/foo2zjs/Generic-OAKT_Printer.ppd foo2oak-generic.oak "$fpdf" "PageSize=A4"
fjob foo2zjs:0/ppd/foo2zjs/Dell-1355.ppd foo2hbpl2-dell1355.hbpl "$fpdf" "PageSize=A4"
fjob foo2zjs:0/ppd/foo2zjs/Oki-C5600.ppd foo2hiperc-c5600.hiperc "$fpdf" "PageSize=A4 Resolution=300x300dpi Compression=compressed"
fjob foo2zjs:0/ppd/foo2zjs/Lexmark-C500.ppd foo2slx-c500.slx "$fpdf" "PageSize=A4 Resolution=600x600dpi"
fjob foo2zjs:0/ppd/foo2zjs/Ricoh-SP_112.ppd foo2ddst-sp112.ddst "$fpdf" "PageSize=A4 Resolution=600x600dpi"
# SPL (QPDL) of splix, LIDIL of hpijs's DeskJet 3320 class.
drv splix-samsung.drv/ml2010.ppd ml2010
cups "$tmp/ml2010.ppd" /usr/lib/cups/filter/rastertoqpdl splix-ml2010.qpdl "$fpdf" "PageSize=A4"
fjob drv:///hpijs.drv/hp-deskjet_3320-hpijs.ppd hpijs-deskjet3320.ldl "$fpdf" "PageSize=A4"
# Raster of KonicaMinolta PagePro, HP PPA, Canon CaPSL (cjet after
# Ghostscript's ljet3), Brother HL-720, Samsung GDI, DeskJet 505J, magicolor
# 2300W, Brother P-touch, Kodak ESP, Ricoh GDI. c2050 (Lexmark 2050) aborts
# on its first page here, and DYMO's raster2dymolw waits for the printer's
# status without end: no jobs.
ppd m2300w:0/ppd/m2300w/KONICA_MINOLTA-magicolor_2300W-m2300w.ppd m2300w
ppd ptouch:0/ppd/ptouch-driver/Brother-QL-570-ptouch-ql.ppd ptouch
fjob foomatic:Minolta-PagePro_1200W-min12xxw.ppd min12xxw-pagepro1200w.prn "$fpdf" "PageSize=A4 Resolution=300x300dpi"
fjob foomatic:HP-DeskJet_720C-pnm2ppa.ppd pnm2ppa-deskjet720c.ppa "$fpdf" "PageSize=A4"
fjob foomatic:Canon-LBP-4U-cjet.ppd cjet-lbp4u.capsl "$fpdf" "PageSize=A4 Resolution=75x75dpi"
# Ghostscript's own: Brother HL-720 (HBP behind PJL), Samsung GDI, the
# DeskJet 505J's ESC _ commands.
fjob foomatic:Brother-HL-720-hl7x0.ppd foomatic-hl7x0.hbp "$fpdf" "PageSize=A4 Resolution=150dpi"
fjob foomatic:Samsung-ML-200-gdi.ppd foomatic-gdi-ml200.gdi "$fpdf" "PageSize=A4 Resolution=300x300dpi"
fjob foomatic:HP-DeskJet_505J_Plus-dj505j.ppd foomatic-dj505j.prn "$fpdf" "PageSize=A4"
# cupsd's pdftopdf keeps the first page for the magicolor (its pages are
# large) and fits the pages to the P-touch label.
PPD="$tmp/m2300w.ppd" /usr/lib/cups/filter/pdftopdf 1 user corpus 1 "PageSize=A4 page-ranges=1" "$fpdf" > "$tmp/first.pdf" 2>/dev/null
PPD="$tmp/ptouch.ppd" /usr/lib/cups/filter/pdftopdf 1 user corpus 1 "PageSize=17x54mm" "$fpdf" > "$tmp/label.pdf" 2>/dev/null
foomatic "$tmp/m2300w.ppd" m2300w-magicolor2300w.prn "$tmp/first.pdf" "PageSize=A4 PrintoutMode=Draft"
foomatic "$tmp/ptouch.ppd" ptouch-ql570.prn "$tmp/label.pdf" "PageSize=17x54mm PrintQuality=Fast"
drv c2esp.drv/Kodak_ESP_51xx_Series.ppd c2esp
drv rastertosag-gdi.drv/rsp1000s.ppd saggdi
cups "$tmp/c2esp.ppd" /usr/lib/cups/filter/c2esp c2esp-kodak5100.prn "$fpdf" "PageSize=A4"
cups "$tmp/saggdi.ppd" /usr/lib/cups/filter/rastertosag-gdi sag-gdi-sp1000s.prn "$fpdf" "PageSize=A4"

ls -l "$out"
