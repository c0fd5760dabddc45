#pragma once

#include <map>
#include <string>
#include <vector>

namespace TestSupport {

// What the recording backend (tests/Support/programs) wrote about one run,
// as key/value pairs ("argv[0]", "uid", "fds", "sigpipe", ...), plus its job
// data.
struct ChildRecord {
    std::map<std::string, std::string> values;
    std::string data;

    std::string Get(const std::string& key) const;
    std::vector<int> Descriptors() const;
};

// Reads the record "<folder>/<name>.txt" and "<name>.data".
ChildRecord ReadChildRecord(const std::string& folder, const std::string& name);

}  // namespace TestSupport
