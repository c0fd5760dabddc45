#pragma once

#include "PrinterLanguageParser/Parser/RawJobTypes.h"
#include "tests/Parser/ParseOutcome.h"

#include <string>
#include <vector>

namespace ParserTestSupport {

// One expected page set, as GetPageSets lists it.
struct ExpectedSet {
    std::string mstrName;
    int mintWidth;
    int mintHeight;
    int mintMono;
    int mintColor;
    RawPrintData::RawPaperOrientation mintOrientation = RawPrintData::ORIENTATION_PORTRAIT;
};

// Checks the outcome's page sets, in order, field by field.
void ExpectPageSets(const ParseOutcome& outcome, const std::vector<ExpectedSet>& expected);

}  // namespace ParserTestSupport
