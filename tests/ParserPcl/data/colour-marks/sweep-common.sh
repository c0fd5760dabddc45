# The helpers sweep.sh and sweep-escp.sh share: the oracle's truth, the
# parser's verdict of one job, and jobs printed by a Ghostscript device or by
# the chain of CUPS filters. Sourced with oracle, parse, here, results, tmp
# and pages set, and raster (cvk_raster_truth) where jobs take their truth
# from their decoded data.
# The oracle's verdicts of every page at a resolution, kept per resolution:
# resolution, page, and "device" for the colours as Ghostscript's vector RGB
# devices receive them (cvk_colour_oracle --rgb-device) rather than as the
# document gives them.
truth() {
    local dpi=$1 page=$2 conversion=${3:-document}
    [ -s "$tmp/truth-$dpi-$conversion" ] ||
        "$oracle" $([ "$conversion" = device ] && echo --rgb-device) "$dpi" "$here/marks.ps" |
        sed 's/.* page \([0-9]*\): \([0-9.]*\) mm2 [0-9]* dots \(.*\)/\1 \2 \3/' > "$tmp/truth-$dpi-$conversion"
    sed -n "${page}p" "$tmp/truth-$dpi-$conversion"
}
# Judges one job: family, device, resolution, page, job file, and where its
# truth comes from: "data", the job's decoded raster where it can be decoded;
# "device", the oracle with the colours a vector RGB device receives (for
# the jobs of such devices, whose data the tests do not decode: their marks
# are the document's shapes in those colours); otherwise the document's.
# With "data" and "device" the document's figure is kept beside the truth.
judge() {
    local family=$1 device=$2 dpi=$3 page=$4 job=$5 from=${6:-}
    read -r _ mm2 want <<< "$(truth "$dpi" "$page")"
    local outcome colour got verdict chunks="" document=""
    if [ "$from" = device ]; then
        document=" ($mm2 $want)"
        read -r _ mm2 want <<< "$(truth "$dpi" "$page" device)"
    elif [ "$from" = data ] && [ -n "${raster:-}" ]; then
        document=" ($mm2 $want)"
        local data
        data=$({ "$raster" "$job" 2>/dev/null || true; } | sed -n 's/.* page 1: \([0-9.]*\) mm2 [0-9]* dots \(.*\)/\1 \2/p')
        if [ -n "$data" ]; then
            read -r mm2 want <<< "$data"
        else
            document=" (undecoded)"
        fi
    fi
    outcome=$("$parse" "$job" 2>/dev/null || true)
    colour=$(sed -n 's/.*colour pages \([0-9]*\).*/\1/p' <<< "$outcome")
    got=mono
    if [ "${colour:-0}" -gt 0 ]; then got=colour; fi
    verdict=wrong
    if [ "$got" = "$want" ]; then verdict=right; fi
    if [[ "$outcome" == *"differs in chunks"* ]]; then chunks=" differs-in-chunks"; fi
    if [[ -z "$outcome" || "$outcome" == *"page sets: []"* ]]; then verdict="wrong(no-page)"; fi
    printf '%s %s %s %s %s %s %s %s%s%s\n' "$family" "$device" "$dpi" "$page" "$mm2" "$want" "$got" "$verdict" \
        "$document" "$chunks" >> "$results"
}
# Ghostscript devices: family, device, resolution, extra options; TRUTH=device
# takes the truth of a vector RGB device (see judge), else it is the data's.
device() {
    local family=$1 device=$2 dpi=$3
    shift 3
    for page in $(seq 1 "$pages"); do
        gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE="$device" -r"$dpi" -sPageList="$page" "$@" \
            -sOutputFile="$tmp/job" "$here/marks.ps" 2>/dev/null || true
        judge "$family" "$device" "$dpi" "$page" "$tmp/job" "${TRUTH:-data}"
    done
}
# The chain cupsd runs, gstoraster then the driver's filter, or foomatic-rip
# alone (on cupsd's filter path) for the drivers it runs: family, name, ppd,
# filter, resolution, options.
cups() {
    local family=$1 name=$2 ppd=$3 filter=$4 dpi=$5 options=$6
    for page in $(seq 1 "$pages"); do
        # gstoraster prints every page it is given (page ranges are pdftopdf's).
        gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -sPageList="$page" -sOutputFile="$tmp/page.pdf" \
            "$here/marks.ps"
        if [ "$(basename "$filter")" = foomatic-rip ]; then
            PATH=/usr/lib/cups/filter:$PATH PPD="$ppd" "$filter" 1 user sweep 1 "$options" "$tmp/page.pdf" \
                > "$tmp/job" 2>/dev/null || true
        else
            PPD="$ppd" /usr/lib/cups/filter/gstoraster 1 user sweep 1 "$options" "$tmp/page.pdf" 2>/dev/null |
                PPD="$ppd" "$filter" 1 user sweep 1 "$options" > "$tmp/job" 2>/dev/null || true
        fi
        judge "$family" "$name" "$dpi" "$page" "$tmp/job" data
    done
}

# Appends the count of jobs billed right per family.
summary() {
    for family in $(cut -d' ' -f1 "$results" | sort -u); do
        printf '%s: %s of %s billed right\n' "$family" \
            "$(grep -c "^$family .* right" "$results" || true)" "$(grep -c "^$family " "$results")"
    done | tee -a "$results"
}
