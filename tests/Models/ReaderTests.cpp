#include "Core/CVModels/SerializableModel.h"
#include "tests/Support/NamedCases.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

using TestSupport::operator<<;
using nlohmann::json;

// Opens the protected readers to the tests.
struct ReaderProbe : CVClientData::SerializableModel {
    void ToJson(json&) const override {}
    void FromJson(const json&) override {}
    using SerializableModel::SafeJsonToBool;
    using SerializableModel::SafeJsonToDouble;
    using SerializableModel::SafeJsonToInt;
    using SerializableModel::SafeJsonToLong;
    using SerializableModel::SafeJsonToString;
    using SerializableModel::SafeJsonToULong;
};

struct ReaderCase {
    const char* Name;
    const char* document;  // JSON text; the readers look up the key "k"
    int32_t asInt;
    int64_t asLong;
    uint64_t asULong;
    double asDouble;
    bool asBool;
    const char* asString;
};

constexpr int32_t IntMax = std::numeric_limits<int32_t>::max();
constexpr int32_t IntMin = std::numeric_limits<int32_t>::min();
constexpr int64_t LongMax = std::numeric_limits<int64_t>::max();
constexpr int64_t LongMin = std::numeric_limits<int64_t>::min();
constexpr uint64_t ULongMax = std::numeric_limits<uint64_t>::max();

const ReaderCase ReaderCases[] = {
    {"missing key", R"({"other":5})", 0, 0, 0, 0.0, false, ""},
    {"null", R"({"k":null})", 0, 0, 0, 0.0, false, ""},
    {"not an object", R"([{"k":5}])", 0, 0, 0, 0.0, false, ""},
    {"number as text", R"({"k":"12"})", 0, 0, 0, 0.0, false, "12"},
    {"fraction cut off", R"({"k":12.9})", 12, 12, 12, 12.9, false, ""},
    {"negative fraction cut toward zero", R"({"k":-12.9})", -12, -12, 0, -12.9, false, ""},
    {"negative integer", R"({"k":-1})", -1, -1, 0, -1.0, false, ""},
    {"beyond 32 bits", R"({"k":4294967296})", IntMax, 4294967296, 4294967296, 4294967296.0, false, ""},
    {"below 32 bits", R"({"k":-4294967296})", IntMin, -4294967296, 0, -4294967296.0, false, ""},
    {"largest unsigned", R"({"k":18446744073709551615})", IntMax, LongMax, ULongMax, 18446744073709551615.0, false, ""},
    {"huge floating", R"({"k":1e300})", IntMax, LongMax, ULongMax, 1e300, false, ""},
    {"huge negative floating", R"({"k":-1e300})", IntMin, LongMin, 0, -1e300, false, ""},
    {"true", R"({"k":true})", 0, 0, 0, 0.0, true, ""},
    {"number is not a flag", R"({"k":1})", 1, 1, 1, 1.0, false, ""},
    {"text is not a flag", R"({"k":"true"})", 0, 0, 0, 0.0, false, "true"},
    {"object", R"({"k":{"k":1}})", 0, 0, 0, 0.0, false, ""},
};

class SafeReaders : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(SafeReaders, GiveTheValueOrTheDefault)
{
    const ReaderCase& c = GetParam();
    json document = json::parse(c.document);
    EXPECT_EQ(ReaderProbe::SafeJsonToInt(document, "k"), c.asInt);
    EXPECT_EQ(ReaderProbe::SafeJsonToLong(document, "k"), c.asLong);
    EXPECT_EQ(ReaderProbe::SafeJsonToULong(document, "k"), c.asULong);
    EXPECT_DOUBLE_EQ(ReaderProbe::SafeJsonToDouble(document, "k"), c.asDouble);
    EXPECT_EQ(ReaderProbe::SafeJsonToBool(document, "k"), c.asBool);
    EXPECT_EQ(ReaderProbe::SafeJsonToString(document, "k"), c.asString);
}

INSTANTIATE_TEST_SUITE_P(Cases, SafeReaders, ::testing::ValuesIn(ReaderCases), TestSupport::CaseName());

// Values that JSON text cannot hold but a JSON value built in code can.
TEST(SafeReaders, NotANumberAndInfinityNeverReachAnIntegerConversion)
{
    json document = {{"nan", std::numeric_limits<double>::quiet_NaN()},
                     {"inf", std::numeric_limits<double>::infinity()},
                     {"-inf", -std::numeric_limits<double>::infinity()}};
    EXPECT_EQ(ReaderProbe::SafeJsonToInt(document, "nan"), 0);
    EXPECT_EQ(ReaderProbe::SafeJsonToULong(document, "nan"), 0u);
    EXPECT_EQ(ReaderProbe::SafeJsonToInt(document, "inf"), IntMax);
    EXPECT_EQ(ReaderProbe::SafeJsonToLong(document, "-inf"), LongMin);
    EXPECT_EQ(ReaderProbe::SafeJsonToULong(document, "-inf"), 0u);
}

}  // namespace
