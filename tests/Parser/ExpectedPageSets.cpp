#include "tests/Parser/ExpectedPageSets.h"

#include <gtest/gtest.h>

namespace ParserTestSupport {

// Compares the count, then every field of every set.
void ExpectPageSets(const ParseOutcome& outcome, const std::vector<ExpectedSet>& expected)
{
    ASSERT_EQ(outcome.mvecPageSets.size(), expected.size()) << outcome.Describe();
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("page set " + std::to_string(i));
        const RawPrintData::CRawPageSet& pageSet = outcome.mvecPageSets[i];
        EXPECT_EQ(pageSet.GetName(), expected[i].mstrName);
        EXPECT_EQ(pageSet.mintWidth, expected[i].mintWidth);
        EXPECT_EQ(pageSet.mintHeight, expected[i].mintHeight);
        EXPECT_EQ(pageSet.mintMonoPages, expected[i].mintMono);
        EXPECT_EQ(pageSet.mintColorPages, expected[i].mintColor);
        EXPECT_EQ(pageSet.mintOrientation, expected[i].mintOrientation);
    }
}

}  // namespace ParserTestSupport
