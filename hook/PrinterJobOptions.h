#pragma once

#include <cstdint>
#include <string_view>

// What the printer makes of a job beyond its data, on the roads where the
// data does not say it: a driverless queue's PDF cannot ask for two sides,
// and with a PPD that leaves copies to the printer the ipp backend asks for
// them in its request instead of the filters repeating the pages.
namespace PrinterJobOptions {

// Copies the wrapped backend has the printer make of data it reads from
// standard input: argument 4 for the ipp and ipps backends when the queue's
// PPD leaves copies to the printer (no "*cupsManualCopies: True"), which is
// when the filters made none in the data; else 1.
uint32_t CopiesAskedOfPrinter(std::string_view backendName, const char* copies, const char* ppdPath);

// Whether the job's options (argument 5) ask for two-sided printing: an IPP
// "sides" value or the PPD's Duplex option.
bool OptionsAskForTwoSides(const char* options);

// The copies a job prints: those of its data times those the backend makes,
// except that a raster page header's copies are the job's copies again (the
// filter wrote them for the printer's IPP "copies"), so with copies made by
// the backend they count once. At most the largest 32-bit count.
uint32_t CountedCopies(uint32_t dataCopies, uint32_t backendCopies, bool headerRepeatsJobCopies);

// Argument 4 as a number of copies; 0 when it is none.
uint32_t ParseCopies(std::string_view text);

}  // namespace PrinterJobOptions
