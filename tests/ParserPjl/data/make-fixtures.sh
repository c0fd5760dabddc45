#!/bin/sh
# Rebuilds the job fixtures of the PJL, HP-GL/2, CGM, CPCA and Prescribe
# tests. Needs plotutils (graph, plot) and Ghostscript; the results are
# committed, so the tests themselves need neither.
set -eu
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

UEL=$(printf '\033%%-12345X')

# Two small plots as plotutils metafiles.
printf '0 0\n1 1\n2 0.5\n3 2\n' | graph -T meta > "$tmp/a.meta"
printf '0 1\n1 0\n2 1\n' | graph -T meta > "$tmp/b.meta"

# HP-GL/2: two pages (PG after each), and one plot rotated by 90 degrees.
plot -T hpgl "$tmp/a.meta" "$tmp/b.meta" > graph-two-pages.hpgl
HPGL_ROTATE=90 plot -T hpgl "$tmp/a.meta" > graph-rotated.hpgl

# PCL 5 with HP-GL/2 plots, as plotutils writes it: each plot is entered with
# ESC %0B and ends with PG and ESC %0A, a form feed between plots and none
# after the last, which the end of the job prints. Plain plots (no axes) keep
# the file small.
printf '0 0\n1 1\n2 0.5\n3 2\n' | graph -T meta -g 0 > "$tmp/plain-a.meta"
printf '0 1\n1 0\n2 1\n' | graph -T meta -g 0 > "$tmp/plain-b.meta"
printf '0 0\n1 2\n2 1\n' | graph -T meta -g 0 > "$tmp/plain-c.meta"
plot -T pcl "$tmp/plain-a.meta" "$tmp/plain-b.meta" "$tmp/plain-c.meta" > plotutils-three-plots.pcl

# Clear-text CGM: a plain two-picture metafile, and the same plot with the
# Oce RCF description and configuration slots (A4, 3 copies, duplex,
# grayscale) put in place of the plotutils description.
CGM_ENCODING=clear_text plot -T cgm "$tmp/a.meta" "$tmp/b.meta" > graph-two-pictures.cgm
CGM_ENCODING=clear_text plot -T cgm "$tmp/a.meta" \
    | sed "s/^MFDESC .*/MFDESC 'Oce Graphics Configuration Format 1.0'; % settings; below %\nAPPLDATA 21 'PF=4';\nAPPLDATA 2 'CO=3, DU=1';\nAPPLDATA 15 'CM=0';/" \
    > "$tmp/oce.cgm"
cp "$tmp/oce.cgm" oce-a4-duplex.cgm

# Ghostscript printing a two-page PostScript file as PCL 5 and PCL XL in PJL
# (PCL XL duplex, so that its page mode agrees with the PJL setting).
cat > "$tmp/two.ps" <<'PS'
%!PS-Adobe-3.0
%%Pages: 2
%%EndComments
%%Page: 1 1
/Helvetica findfont 24 scalefont setfont 72 700 moveto (Page one) show showpage
%%Page: 2 2
/Helvetica findfont 24 scalefont setfont 72 700 moveto (Page two) show showpage
%%EOF
PS
gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=ljet4pjl -sPAPERSIZE=a4 -o "$tmp/lj.pcl" "$tmp/two.ps"
gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pxlmono -sPAPERSIZE=a4 -dDuplex=true -o "$tmp/px.pxl" "$tmp/two.ps"
# Job settings in SET lines right after the first universal exit language.
sed "1s/^\(.*\)@PJL\r\$/\1@PJL\r\n@PJL SET COPIES=2\r\n@PJL SET DUPLEX=ON\r/" "$tmp/lj.pcl" > gs-ljet4pjl-copies2-duplex.prn
sed "1s/^\(.*\)@PJL SET RENDERMODE=GRAYSCALE\$/\1@PJL SET RENDERMODE=GRAYSCALE\n@PJL SET QTY=3\n@PJL SET DUPLEX=ON/" "$tmp/px.pxl" > gs-pxlmono-qty3-duplex.prn
{
    printf '%s@PJL JOB NAME="two pages"\r\n' "$UEL"
    printf '@PJL SET COPIES=2\r\n@PJL SET DUPLEX=ON\r\n'
    printf '@PJL COMMENT %%%%Requirements: numcopies(4) color\r\n'
    printf '@PJL ENTER LANGUAGE=POSTSCRIPT\r\n'
    cat "$tmp/two.ps"
    printf '%s@PJL EOJ\r\n%s\r\n' "$UEL" "$UEL"
} > pjl-postscript-two-pages.prn

# PJL with two copies around Ghostscript's cdj550 (PCL 3 colour), whose
# pages end with a reset and ESC & l 0 H and never a form feed.
gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=cdj550 -o "$tmp/cdj550.pcl" ../../ParserPcl/data/three-small.ps
{
    printf '%s@PJL JOB NAME="deskjet"\r\n@PJL SET COPIES=2\r\n@PJL ENTER LANGUAGE=PCL\r\n' "$UEL"
    cat "$tmp/cdj550.pcl"
    printf '%s@PJL EOJ\r\n%s' "$UEL" "$UEL"
} > pjl-cdj550-copies2.prn

# PJL around an HP-GL/2 plot, ending in the universal exit language and CR LF.
{
    printf '%s@PJL JOB NAME="plot"\r\n@PJL SET COPIES=2\r\n\r\n' "$UEL"
    printf '@PJL SET DUPLEX=ON\r\n@PJL SET ORIENTATION=LANDSCAPE\r\n'
    printf '@PJL SET PAPER=A3\r\n@PJL ENTER LANGUAGE=HPGL2\r\n'
    cat graph-two-pages.hpgl
    printf '%s@PJL EOJ\r\n%s\r\n' "$UEL" "$UEL"
} > pjl-hpgl-two-pages.prn

# A job that switches language several times: PJL, HP-GL/2, back to PJL
# through the universal exit language, HP-GL/2 again, then PJL to the end.
{
    printf '%s@PJL SET QTY=2\n@PJL ENTER LANGUAGE=HPGL\n' "$UEL"
    printf 'IN;PS40000,30000;SP1;PA0,0;PD1000,1000;PG;'
    printf '%s@PJL SET COPIES=3\n@PJL SET RENDERMODE=COLOR\n@PJL ENTER LANGUAGE=HPGL2\n' "$UEL"
    printf 'IN;PA0,0;PD500,500;LBlabel; with letters\003PG;PG;'
    printf '%s@PJL EOJ\n%s' "$UEL" "$UEL"
} > mixed-pjl-hpgl-pjl-hpgl.prn

# Prescribe set-up that exits into a PJL-wrapped plot.
{
    printf '!R! RES;\r\nUNIT C;\r\n!R! FRPO P1,8; EXIT;'
    printf '%s@PJL SET COPIES=2\r\n@PJL ENTER LANGUAGE=HPGL2\r\n' "$UEL"
    cat graph-two-pages.hpgl
    printf '%s' "$UEL"
} > prescribe-pjl-hpgl.prn

# CPCA operations around a plot: two operations with data, then the print
# data operation (0x1A), whose data starts one byte after its header.
cpca_header() { # code, data length
    printf '\315\312\020\000'
    printf "\\$(printf '%03o' $(($1 >> 8)))\\$(printf '%03o' $(($1 & 255)))"
    printf '\000\000'
    printf "\\$(printf '%03o' $(($2 >> 8)))\\$(printf '%03o' $(($2 & 255)))"
    printf '\000\000\000\000\000\000\000\000\000\000'
}
{
    cpca_header 1 300; head -c 300 /dev/zero | tr '\000' 'D'
    cpca_header 2 0
    cpca_header 26 0; printf '\000'
    cat graph-two-pages.hpgl
} > cpca-hpgl.cpca

# The Oce CGM followed by a plot: after ENDMF the plot's pages take the
# CGM's default paper (A4) and settings. The detector that reads what follows
# ENDMF passes over NULs only, so the plot follows without a line feed.
{ printf '%s' "$(cat oce-a4-duplex.cgm)"; cat graph-rotated.hpgl; } > cgm-oce-then-hpgl.prn
