#include "tests/Support/ChildRecord.h"

#include "tests/Support/TempRoot.h"

#include <charconv>
#include <sstream>

namespace TestSupport {

std::string ChildRecord::Get(const std::string& key) const
{
    auto found = values.find(key);
    return found == values.end() ? std::string() : found->second;
}

std::vector<int> ChildRecord::Descriptors() const
{
    std::vector<int> descriptors;
    std::stringstream list(Get("fds"));
    std::string item;
    while (std::getline(list, item, ',')) {
        int fd = -1;
        std::from_chars(item.data(), item.data() + item.size(), fd);
        descriptors.push_back(fd);
    }
    return descriptors;
}

ChildRecord ReadChildRecord(const std::string& folder, const std::string& name)
{
    ChildRecord record;
    std::stringstream text(ReadFileText(folder + "/" + name + ".txt"));
    std::string line;
    while (std::getline(text, line)) {
        size_t equals = line.find('=');
        if (equals != std::string::npos)
            record.values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    record.data = ReadFileText(folder + "/" + name + ".data");
    return record;
}

}  // namespace TestSupport
