#!/usr/bin/env bash
# Regenerates the printer-data fixtures of these tests. The tests never run
# this: the generated files are committed with their expected results in
# PrinterFixtureTests.cpp, which must be checked again after regenerating.
#
# three-pages.ps holds an A4 page of black text, an A4 page with red and blue
# shapes and a Letter page with a grey image. Ghostscript renders it at a low
# resolution to keep the files small; the ESC/P and ESC/Page fixtures are
# written by make-escp-fixtures.py, since Ghostscript's ESC/P devices start
# their output with no signature the detector knows.
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
