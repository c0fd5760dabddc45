#include "Core/CVModels/CustomFieldValueSearch.h"
#include "tests/Support/NamedCases.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using TestSupport::operator<<;
using CVClientData::CustomFieldValueSearch;
using nlohmann::json;

TEST(ValueSearch, NewSearchSendsCriteriaAndPagingOnly)
{
    CustomFieldValueSearch search(12);
    json dumped;
    search.ToJson(dumped);
    EXPECT_EQ(dumped, json::parse(R"({"FieldId":12,"PageNumber":1,"PageSize":50,"ParentValueId":0,"SearchFor":""})"));
    EXPECT_EQ(dumped.dump(), R"({"FieldId":12,"PageNumber":1,"PageSize":50,"ParentValueId":0,"SearchFor":""})");

    CustomFieldValueSearch unnamed;
    EXPECT_EQ(unnamed.FieldId, 0u);
    EXPECT_EQ(unnamed.PageCount, 1u);
    EXPECT_TRUE(unnamed.MatchingValues.empty());
}

TEST(ValueSearch, ResultsAreNotSentBack)
{
    CustomFieldValueSearch search(3);
    search.SearchFor = "pro";
    search.PageNumber = 4;
    search.MatchingValues.resize(2);
    search.PageCount = 9;
    json dumped;
    search.ToJson(dumped);
    EXPECT_EQ(dumped.size(), 5u);
    EXPECT_EQ(dumped.at("SearchFor"), "pro");
    EXPECT_EQ(dumped.at("PageNumber"), 4);
}

struct AnswerCase {
    const char* Name;
    const char* Answer;
    bool Throws;
    size_t Values;
    uint64_t PageCount;
    uint64_t PageSize;
};

const AnswerCase AnswerCases[] = {
    {"FullAnswer",
     R"({"FieldId":12,"ParentValueId":3,"SearchFor":"a","PageNumber":2,"PageSize":50,"PageCount":4,
         "MatchingValues":[{"ValueId":1,"Code":"a1","Modifier":{}},{"ValueId":2,"Code":"a2","Modifier":{}}]})",
     false, 2, 4, 50},
    {"NoMatches", R"({"MatchingValues":[]})", false, 0, 0, 0},
    {"WithoutMatchingValuesFails", R"({"FieldId":12,"PageCount":4})", true, 0, 0, 0},
    {"MatchingValuesNotAListFails", R"({"MatchingValues":{}})", true, 0, 0, 0},
    {"ValueWithoutModifierFails", R"({"MatchingValues":[{"ValueId":1}]})", true, 0, 0, 0},
};

class SearchAnswers : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(SearchAnswers, ReadFromTheServer)
{
    const AnswerCase& test = GetParam();
    CustomFieldValueSearch search(12);
    if (test.Throws) {
        EXPECT_THROW(search.FromJson(json::parse(test.Answer)), json::exception);
        return;
    }
    search.FromJson(json::parse(test.Answer));
    EXPECT_EQ(search.MatchingValues.size(), test.Values);
    EXPECT_EQ(search.PageCount, test.PageCount);
    EXPECT_EQ(search.PageSize, test.PageSize);
}

INSTANTIATE_TEST_SUITE_P(Cases, SearchAnswers, ::testing::ValuesIn(AnswerCases), TestSupport::CaseName());

}  // namespace
