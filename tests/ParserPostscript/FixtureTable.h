#pragma once

#include "tests/Parser/ExpectedPageSets.h"

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace PostscriptTestSupport {

// One row of data/fixtures.tsv: a committed job and what it prints, its page
// sets written as "name WxH mono/colour" joined by "; ".
struct FixtureRow {
    std::string mstrFile;
    std::string mstrPageSets;
    unsigned long mintCopies = 0;
    bool mblnDuplex = false;
    int mintColorType = 0;
};

// The rows of the table at the path: file, page sets, copies, duplex, colour
// type; comment lines and lines of another shape are passed over.
inline std::vector<FixtureRow> ReadFixtureTable(const std::string& path)
{
    std::vector<FixtureRow> rows;
    std::ifstream table(path);
    std::string line;
    while (std::getline(table, line)) {
        if (line.empty() || line.front() == '#')
            continue;
        std::vector<std::string> fields;
        size_t start = 0;
        while (true) {
            const size_t tab = line.find('\t', start);
            fields.push_back(line.substr(start, tab - start));
            if (tab == std::string::npos)
                break;
            start = tab + 1;
        }
        if (fields.size() != 5)
            continue;
        rows.push_back({fields[0], fields[1], std::stoul(fields[2]), fields[3] == "1", std::stoi(fields[4])});
    }
    return rows;
}

// The page sets of a row, read from their "name WxH mono/colour" form (the
// name may be empty); none when one of them has another form.
inline std::vector<ParserTestSupport::ExpectedSet> ParsePageSets(const std::string& text)
{
    std::vector<ParserTestSupport::ExpectedSet> pageSets;
    size_t start = 0;
    while (true) {
        const size_t end = text.find("; ", start);
        std::istringstream fields(text.substr(start, end - start));
        ParserTestSupport::ExpectedSet pageSet{};
        char times = 0;
        char slash = 0;
        std::getline(fields, pageSet.mstrName, ' ');
        fields >> pageSet.mintWidth >> times >> pageSet.mintHeight >> pageSet.mintMono >> slash >> pageSet.mintColor;
        if (!fields || times != 'x' || slash != '/')
            return {};
        pageSets.push_back(pageSet);
        if (end == std::string::npos)
            return pageSets;
        start = end + 2;
    }
}

}  // namespace PostscriptTestSupport
