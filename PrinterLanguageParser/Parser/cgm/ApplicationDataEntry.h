#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace RawPrintData::CGM {

// One APPLDATA command: its slot number and its name=value parameters, read
// from a text such as 21 'PF=4, CO=2'.
class ApplicationDataEntry {
public:
    explicit ApplicationDataEntry(std::string_view text);

    uint32_t GetSlotNumber() const { return mintSlotNumber; }
    // The parameter's value, or the default when the entry does not name it.
    uint32_t GetParamValue(const std::string& name, uint32_t defaultValue) const;
    bool HasParam(const std::string& name) const { return mvecParameters.contains(name); }

private:
    void mReadParameters(std::string_view text);

    uint32_t mintSlotNumber = 0;
    std::map<std::string, uint32_t> mvecParameters;
};

}  // namespace RawPrintData::CGM
