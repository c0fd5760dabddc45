#pragma once

#include <string>

namespace RawPrintData::Postscript {

class DscComment;

// A resource named by %%BeginResource: (type name ...).
class PostscriptResource {
public:
    PostscriptResource() = default;
    // The name is the field after the resource type.
    explicit PostscriptResource(const DscComment& comment);

    const std::string& GetName() const { return mstrName; }
    void SetName(std::string name) { mstrName = std::move(name); }
    auto operator<=>(const PostscriptResource& other) const { return mstrName <=> other.mstrName; }
    bool operator==(const PostscriptResource& other) const { return mstrName == other.mstrName; }

private:
    std::string mstrName;
};

// A file named by %%BeginFile:.
class PostscriptFile {
public:
    PostscriptFile() = default;
    // The name is the whole of the values.
    explicit PostscriptFile(const DscComment& comment);

    const std::string& GetName() const { return mstrName; }
    void SetName(std::string name) { mstrName = std::move(name); }
    auto operator<=>(const PostscriptFile& other) const { return mstrName <=> other.mstrName; }
    bool operator==(const PostscriptFile& other) const { return mstrName == other.mstrName; }

private:
    std::string mstrName;
};

// A PPD option set by a %%BeginFeature: block, for example *Duplex DuplexNoTumble.
class PostscriptFeature {
public:
    PostscriptFeature() = default;
    // Name before the first blank, value after it; both empty without a blank.
    explicit PostscriptFeature(const DscComment& comment);

    const std::string& GetName() const { return mstrName; }
    void SetName(std::string name) { mstrName = std::move(name); }
    const std::string& GetValue() const { return mstrValue; }
    void SetValue(std::string value) { mstrValue = std::move(value); }
    auto operator<=>(const PostscriptFeature& other) const { return mstrName <=> other.mstrName; }
    bool operator==(const PostscriptFeature& other) const { return mstrName == other.mstrName; }

private:
    std::string mstrName;
    std::string mstrValue;
};

}  // namespace RawPrintData::Postscript
