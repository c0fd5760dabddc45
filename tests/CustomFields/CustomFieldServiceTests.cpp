#include "Core/CVModels/Job.h"
#include "Core/Services/CustomFieldService.h"
#include "FakeCustomFieldSource.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using CustomFieldTest::MakeField;
using CustomFieldTest::MakeValue;
using namespace CVClientData;

std::vector<uint64_t> Ids(const std::vector<CustomField>& fields)
{
    std::vector<uint64_t> ids;
    for (const CustomField& field : fields)
        ids.push_back(field.Id);
    return ids;
}

class FieldService : public ::testing::Test {
protected:
    FieldService()
    {
        mSource.mvecFields = {MakeField(5, "Server five"), MakeField(2, "Server two"), MakeField(9, "Server nine"),
                              MakeField(4, "Server four")};
    }

    TestSupport::TempRoot mRoot;  // the service logs
    CustomFieldTest::FakeCustomFieldSource mSource;
    CVCoreDataServices::CustomFieldService mService{mSource};
};

TEST_F(FieldService, JobWithoutFieldsAsksNothing)
{
    Job job;
    std::vector<CustomField> fields = {MakeField(1, "stale")};
    mService.LoadAllCustomFieldsForJob(job, fields);
    EXPECT_TRUE(fields.empty());
    EXPECT_EQ(mSource.mintFieldCalls, 0);
}

// The server's records and order are kept; the job's field records only
// say which fields apply.
TEST_F(FieldService, KeepsTheServersFieldsThatTheJobNames)
{
    Job job;
    job.Options.CustomField = {MakeField(4, "job four"), MakeField(7, "unknown to the server"), MakeField(5, "job five")};
    std::vector<CustomField> fields = {MakeField(1, "stale")};
    mService.LoadAllCustomFieldsForJob(job, fields);
    EXPECT_EQ(mSource.mintFieldCalls, 1);
    EXPECT_EQ(Ids(fields), (std::vector<uint64_t>{5, 4}));
    EXPECT_EQ(fields.at(0).Name, "Server five");
}

TEST_F(FieldService, FailedCallGivesNoFields)
{
    Job job;
    job.Options.CustomField = {MakeField(4, "job four")};
    std::vector<CustomField> fields = {MakeField(4, "stale")};
    mSource.mblnSucceed = false;
    mService.LoadAllCustomFieldsForJob(job, fields);
    EXPECT_TRUE(fields.empty());
}

TEST_F(FieldService, SearchFillsTheCallersRecord)
{
    mSource.mvecValues = {MakeValue(1, "a1", ""), MakeValue(2, "a2", "")};
    CustomFieldValueSearch search(12);
    search.SearchFor = "a";
    search.ParentValueId = 6;
    search.PageNumber = 2;
    mService.SearchCustomFieldValues(search);
    ASSERT_EQ(mSource.mvecSearches.size(), 1u);
    EXPECT_EQ(mSource.mvecSearches[0].SearchFor, "a");
    EXPECT_EQ(mSource.mvecSearches[0].ParentValueId, 6u);
    EXPECT_EQ(mSource.mvecSearches[0].PageNumber, 2u);
    EXPECT_EQ(search.MatchingValues.size(), 2u);
    EXPECT_EQ(search.PageCount, 3u);
}

}  // namespace
