#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace EndToEnd {

// The pages of one paper size of a job (one copy).
struct PaperPages {
    std::string size;  // the paper's name; empty when the job did not name it
    int32_t width = 0;  // tenths of a millimetre
    int32_t height = 0;
    int32_t mono = 0;
    int32_t colour = 0;
};

// What the accounting server learnt of one job, in the terms a person reads:
// who printed what where, the pages by paper size, copies, duplex and the
// cost that the job's prices give (the cost engine's total).
struct ServerJobSummary {
    std::string user;  // as the token names it
    std::string printer;
    std::string document;
    std::vector<PaperPages> paper;
    int32_t monoPages = 0;  // one copy, every paper size
    int32_t colourPages = 0;
    uint64_t copies = 0;
    bool duplex = false;
    double cost = 0.0;
    int32_t trackOption = 0;
};

// Reads a job in the form the client sends it to the rules, which leaves the
// user to the request's token; none when the value is not such a job.
std::optional<ServerJobSummary> SummariseServerJob(const nlohmann::json& job);

}  // namespace EndToEnd
