#pragma once

#include "tests/Parser/ExpectedPageSets.h"

#include <vector>

// What the committed driver jobs print, one copy each: checked by the parser
// tests and by the end-to-end billing test.
namespace ParserTestSupport {

// three-small.ps through Ghostscript's DeskJets (ParserPcl/data): two A4
// pages and a Letter page, as mono printers print them, and as colour ones
// do (the red square on the second page).
inline const std::vector<ExpectedSet> SMALL_PCL_PAGES = {{"A4", 2100, 2970, 2, 0}, {"Letter", 2159, 2794, 1, 0}};
inline const std::vector<ExpectedSet> SMALL_COLOUR_PAGES = {{"A4", 2100, 2970, 1, 1}, {"Letter", 2159, 2794, 1, 0}};

// five-pages.ps on A4 through the driver corpus (ParserPcl/data/drivers):
// pages 2 and 4 in colour when the driver prints colour; its pages 1, 3 and
// 5 alone.
inline const std::vector<ExpectedSet> FIVE_COLOUR = {{"A4", 2100, 2970, 3, 2}};
inline const std::vector<ExpectedSet> FIVE_MONO = {{"A4", 2100, 2970, 5, 0}};
inline const std::vector<ExpectedSet> THREE_MONO = {{"A4", 2100, 2970, 3, 0}};

// five-pages.ps on A4 through Ghostscript's colour Epson drivers (ParserPcl/
// data): pages 2 and 4 print in colour. The 9-pin epsonc carries no paper;
// stcolor's ESC/P 2 gives the page length of A4 (ESC ( C).
inline const std::vector<ExpectedSet> FIVE_COLOUR_EPSON_PAGES = {{"", 0, 0, 3, 2}};
inline const std::vector<ExpectedSet> FIVE_COLOUR_ESCP2_A4_PAGES = {{"A4", 2100, 2970, 3, 2}};

// plotutils' three plots in PCL 5 (ParserPjl/data): PG inside them ends no
// page; two form feeds and the end of the job do.
inline const std::vector<ExpectedSet> PLOTUTILS_THREE_PLOTS_PAGES = {{"", 0, 0, 3, 0}};

}  // namespace ParserTestSupport
