#!/usr/bin/env bash
# Prints five-pages.ps (A4; colour on pages 2 and 4, in draft at 150 dpi) and
# grey-pages.ps (two A4 pages of grey bars and black text, at the model's
# default quality) through every model of Gutenprint's PCL family the way
# cupsd would (gstoraster, then rastertogutenprint with the model's PPD),
# parses each job with cvk_parse_job and writes to gutenprint-pcl-results.txt
# which models are billed right: 5 pages on A4, 2 of them colour for a colour
# model and none for a mono one, and the grey pages mono. Not run by the tests
# (it takes minutes); run it after changing the PCL parser and commit the
# results.
#
# gutenprint-pcl.sh path/to/cvk_parse_job
# Needs ghostscript, cups-filters and printer-driver-gutenprint.
set -euo pipefail
parse=$(realpath "$1")
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
gs -q -dNOPAUSE -dBATCH -dSAFER -sPAPERSIZE=a4 -dFIXEDMEDIA -sDEVICE=pdfwrite -sOutputFile="$tmp/five.pdf" ../five-pages.ps
gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -sOutputFile="$tmp/grey.pdf" ../grey-pages.ps

# Prints a document through a model: ppd, options, document, job.
print_job() {
    PPD="$1" /usr/lib/cups/filter/gstoraster 1 user sweep 1 "$2" "$3" 2>/dev/null |
        PPD="$1" /usr/lib/cups/filter/rastertogutenprint.5.3 1 user sweep 1 "$2" > "$4" 2>/dev/null || true
}
# What cvk_parse_job reports of a job, without its file name.
outcome() { "$parse" "$1" | sed 's/^[^:]*: //'; }

driver=/usr/lib/cups/driver/gutenprint.5.3
results=gutenprint-pcl-results.txt
: > "$results"
for model in $("$driver" list | grep -o 'gutenprint.5.3://pcl-[^/]*/expert' | sed 's|gutenprint.5.3://||; s|/expert||' | sort -u); do
    ppd="$tmp/$model.ppd"
    "$driver" cat "gutenprint.5.3://$model/expert" > "$ppd"
    # A colour model's colour pages are colour.
    colour=0
    if grep -q '^\*ColorDevice:.*True' "$ppd"; then colour=2; fi
    options="PageSize=A4 Resolution=150dpi StpQuality=Draft"
    grep -q '^\*Resolution 150dpi' "$ppd" || options="PageSize=A4 StpQuality=Draft"
    print_job "$ppd" "$options" "$tmp/five.pdf" "$tmp/five.prn"
    print_job "$ppd" "PageSize=A4" "$tmp/grey.pdf" "$tmp/grey.prn"
    five=$(outcome "$tmp/five.prn")
    grey=$(outcome "$tmp/grey.prn")
    want="[A4 2100x2970 mono $((5 - colour)) colour $colour orientation 0]"
    if [[ "$five" != *"page sets: $want" || "$five" == *"differs in chunks"* ]]; then
        verdict="wrong: $five"
    elif [[ "$grey" != *"page sets: [A4 2100x2970 mono 2 colour 0 orientation 0]" || "$grey" == *"differs in chunks"* ]]; then
        verdict="wrong on grey pages: $grey"
    else
        verdict=right
    fi
    printf '%s %s\n' "$model" "$verdict" >> "$results"
done
printf '%s of %s billed right\n' "$(grep -c ' right$' "$results")" "$(wc -l < "$results")" | tee -a "$results"
