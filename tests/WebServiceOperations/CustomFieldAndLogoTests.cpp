// The services and caches that reach the server through the web service:
// custom fields for a job and value searches, a field's values, and the
// logo cache.

#include "Core/CVModels/LocalFiles/ClientLogo.h"
#include "Core/Services/CustomFieldService.h"
#include "tests/WebServiceOperations/OperationsFixture.h"

#include <filesystem>

namespace OperationTests {
namespace {

std::vector<uint64_t> Ids(const std::vector<CustomField>& fields)
{
    std::vector<uint64_t> ids;
    for (const CustomField& field : fields)
        ids.push_back(field.Id);
    return ids;
}

CustomField FieldWithId(uint64_t id)
{
    CustomField field;
    field.Id = id;
    field.Name = "as the job names it";
    return field;
}

using FieldService = OperationsTest;

TEST_F(FieldService, JobWithoutFieldsAsksNothing)
{
    CVCoreDataServices::CustomFieldService service(*mService);
    Job job;
    std::vector<CustomField> fields = {FieldWithId(1)};
    service.LoadAllCustomFieldsForJob(job, fields);
    EXPECT_TRUE(fields.empty());
    EXPECT_EQ(mServer.CountOf("GET", "printapi/customfields"), 0u);
}

// The server's records and order are kept; the job's field records only say
// which fields apply.
TEST_F(FieldService, KeepsTheServersFieldsThatTheJobNames)
{
    CVCoreDataServices::CustomFieldService service(*mService);
    Job job;
    job.Options.CustomField = {FieldWithId(2), FieldWithId(7), FieldWithId(1)};
    std::vector<CustomField> fields;
    service.LoadAllCustomFieldsForJob(job, fields);
    EXPECT_EQ(mServer.CountOf("GET", "printapi/customfields"), 1u);
    EXPECT_EQ(Ids(fields), (std::vector<uint64_t>{1, 2}));
    EXPECT_EQ(fields.at(0).Name, "Account");

    mServer.SetAnswer("GET", "printapi/customfields", Answer::Json(500, "{}"));
    fields = {FieldWithId(1)};
    service.LoadAllCustomFieldsForJob(job, fields);
    EXPECT_TRUE(fields.empty());
}

TEST_F(FieldService, SearchPagesThroughAFieldsValues)
{
    CVCoreDataServices::CustomFieldService service(*mService);
    CustomFieldValueSearch search(1);
    search.SearchFor = "Account";
    search.PageSize = 2;
    for (uint64_t page : {1u, 2u, 3u}) {
        search.PageNumber = page;
        service.SearchCustomFieldValues(search);
        EXPECT_EQ(search.PageCount, 3u);
        ASSERT_FALSE(search.MatchingValues.empty());
        EXPECT_EQ(search.MatchingValues.front().ValueId, 101 + (page - 1) * 2);
    }
    EXPECT_EQ(search.MatchingValues.size(), 1u);
}

// The web service is the records' source of field values.
TEST_F(FieldService, AFieldLoadsItsValuesUnderAParent)
{
    CustomField project = FieldWithId(2);
    ASSERT_TRUE(project.LoadAllCustomFieldValues(*mService, 101));
    EXPECT_EQ(project.CountCustomFieldValues(), 2u);
    ASSERT_TRUE(project.LoadAllCustomFieldValues(*mService, 102));
    EXPECT_EQ(project.CountCustomFieldValues(), 0u);
}

class LogoCache : public OperationsTest {
protected:
    std::string Folder() const { return mRoot.Path() + "/logo"; }
    std::string CachedDate() const { return TestSupport::ReadFileText(Folder() + "/logo.cache"); }
    bool HasLogoFile() const { return std::filesystem::exists(Folder() + "/logo.bin"); }
    void SetUp() override
    {
        OperationsTest::SetUp();
        std::filesystem::create_directories(Folder());
    }
};

// A new logo is stored with its trimmed date; twelve hours later the stored
// date goes back to the server escaped, which answers "unchanged".
TEST_F(LogoCache, NewLogoIsKeptAndItsDateSentBack)
{
    ClientLogo logo(Folder());
    logo.Update(*mService);
    EXPECT_FALSE(logo.IsStandardLogo());
    EXPECT_EQ(TestSupport::ReadFileText(Folder() + "/logo.bin"), StandIn::DefaultLogoBytes());
    EXPECT_EQ(CachedDate(), StandIn::DefaultLogoDate());
    EXPECT_EQ(OnlyRequest("GET", "printapi/settings/logo").query, "logodate=.000Z");
    EXPECT_TRUE(Logged("New logo from server"));

    logo.Update(*mService);  // within twelve hours: no request
    EXPECT_EQ(mServer.CountOf("GET", "printapi/settings/logo"), 1u);
    EXPECT_FALSE(logo.IsStandardLogo());

    mClock.Advance(43200);
    mServer.ClearRequests();
    logo.Update(*mService);
    RecordedRequest request = OnlyRequest("GET", "printapi/settings/logo");
    EXPECT_EQ(request.query, "logodate=2024-03-01T10%3A00%3A00.000Z");
    EXPECT_EQ(request.QueryValue("logodate"), StandIn::DefaultLogoDate() + ".000Z");
    EXPECT_TRUE(Logged("No change to logo: 1"));
    EXPECT_TRUE(HasLogoFile());
}

TEST_F(LogoCache, AnswersWithoutAResultOrWithAFailureChangeNothing)
{
    ClientLogoResult result = LogoUnchanged;
    std::string data = "old bytes";
    std::string date = "2020-01-01T00:00:00";
    mServer.SetAnswer("GET", "printapi/settings/logo", Answer::Json(200, "ignored"));
    EXPECT_TRUE(mService->GetClientLogo(result, data, date));
    EXPECT_EQ(result, LogoUnchanged);
    EXPECT_EQ(data, "old bytes");
    EXPECT_EQ(date, "2020-01-01T00:00:00");

    // A failed check is not stamped, so the next one asks again.
    mClock.Advance(43200);
    mServer.SetAnswer("GET", "printapi/settings/logo", Answer::Json(502, "gateway"));
    EXPECT_FALSE(mService->GetClientLogo(result, data, date));
    EXPECT_TRUE(Logged("Error: 502, GetClientLogo: gateway"));
    mServer.ResetAnswer("GET", "printapi/settings/logo");
    EXPECT_TRUE(mService->GetClientLogo(result, data, date));
    EXPECT_EQ(result, NewLogo);
    EXPECT_EQ(mServer.CountOf("GET", "printapi/settings/logo"), 3u);

    // A stored new logo is reported as unchanged while the check is fresh.
    EXPECT_TRUE(mService->GetClientLogo(result, data, date));
    EXPECT_EQ(result, LogoUnchanged);
}

// A date with blanks and characters that mean something in a URL reaches
// the server as one query value.
TEST_F(LogoCache, DatesAreTrimmedAndEscapedInTheQuery)
{
    ClientLogoResult result = StandardLogo;
    std::string data;
    std::string date = " 2024-03-01T10:00:00&x=1#top\r";
    EXPECT_TRUE(mService->GetClientLogo(result, data, date));
    RecordedRequest request = OnlyRequest("GET", "printapi/settings/logo");
    EXPECT_EQ(request.QueryValue("logodate"), "2024-03-01T10:00:00&x=1#top.000Z");
    EXPECT_EQ(request.QueryValue("x"), "");
}

}  // namespace
}  // namespace OperationTests
