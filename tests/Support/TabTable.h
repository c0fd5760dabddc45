#pragma once

#include <fstream>
#include <string>
#include <vector>

namespace TestSupport {

// The rows of a tab-separated table file, each split into its fields; empty
// lines and comment lines (starting with '#') are passed over.
inline std::vector<std::vector<std::string>> ReadTabRows(const std::string& path)
{
    std::vector<std::vector<std::string>> rows;
    std::ifstream table(path);
    std::string line;
    while (std::getline(table, line)) {
        if (line.empty() || line.front() == '#')
            continue;
        std::vector<std::string>& fields = rows.emplace_back();
        size_t start = 0;
        for (size_t tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', start)) {
            fields.push_back(line.substr(start, tab - start));
            start = tab + 1;
        }
        fields.push_back(line.substr(start));
    }
    return rows;
}

}  // namespace TestSupport
