#include "hook/PrinterJobOptions.h"

#include "CoreLogger/ComponentLog.h"

#include <cups/cups.h>
#include <cups/ppd.h>

#include <algorithm>
#include <charconv>
#include <limits>
#include <memory>
#include <string>

// The PPD API is deprecated in libcups but is the only place where a PPD
// queue says who makes the copies.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace PrinterJobOptions {

namespace {

using Log = ComponentLog<LogComponents::CoreCups>;

struct PpdCloser {
    void operator()(ppd_file_t* ppd) const { ppdClose(ppd); }
};

}  // namespace

uint32_t ParseCopies(std::string_view text)
{
    uint32_t copies = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), copies);
    return error == std::errc() && end == text.data() + text.size() ? copies : 0;
}

uint32_t CopiesAskedOfPrinter(std::string_view backendName, const char* copies, const char* ppdPath)
{
    if (backendName != "ipp" && backendName != "ipps")
        return 1;
    const uint32_t count = ParseCopies(copies != nullptr ? copies : "");
    if (count <= 1 || ppdPath == nullptr || ppdPath[0] != '/')
        return 1;
    std::unique_ptr<ppd_file_t, PpdCloser> ppd(ppdOpenFile(ppdPath));
    if (!ppd) {
        Log::Error("The queue's PPD %s cannot be read; its copies are counted once.", std::string(ppdPath));
        return 1;
    }
    if (ppd->manual_copies != 0)
        return 1;
    Log::Debug("Copies the printer makes: %u", static_cast<unsigned>(count));
    return count;
}

uint32_t CountedCopies(uint32_t dataCopies, uint32_t backendCopies, bool headerRepeatsJobCopies)
{
    if (headerRepeatsJobCopies && backendCopies > 1)
        return std::max(dataCopies, backendCopies);
    const uint64_t copies = static_cast<uint64_t>(dataCopies) * backendCopies;
    return static_cast<uint32_t>(std::min<uint64_t>(copies, std::numeric_limits<uint32_t>::max()));
}

bool OptionsAskForTwoSides(const char* options)
{
    if (options == nullptr)
        return false;
    cups_option_t* parsed = nullptr;
    const int count = cupsParseOptions(options, 0, &parsed);
    const char* sides = cupsGetOption("sides", count, parsed);
    const char* duplex = cupsGetOption("Duplex", count, parsed);
    const bool twoSides = (sides != nullptr && std::string_view(sides).starts_with("two-sided")) ||
                          (duplex != nullptr && std::string_view(duplex).starts_with("Duplex"));
    cupsFreeOptions(count, parsed);
    return twoSides;
}

}  // namespace PrinterJobOptions
