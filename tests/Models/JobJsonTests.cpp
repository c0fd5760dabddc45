#include "Core/CVModels/ClientJob.h"
#include "Core/CVModels/DateUtil.h"
#include "Core/CVModels/Job.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using CVClientData::CustomFieldValue;
using CVClientData::Job;
using nlohmann::json;

// The smallest object a job reads from: its three required records.
json MinimalJobJson()
{
    return json::parse(R"({"ProcessModifier":{},"UserModifier":{},"Costing":{"PageSets":[]}})");
}

std::vector<std::string> KeysInDumpOrder(const json& object)
{
    std::vector<std::string> keys;
    for (const auto& [key, value] : object.items())
        keys.push_back(key);
    return keys;
}

TEST(JobJson, DumpListsKeysInByteOrder)
{
    Job job;
    json dumped;
    job.ToJson(dumped);
    const std::vector<std::string> expected = {
        "CUPSNumberOfPages", "ColorMode", "Comments", "ComputerName", "Costing", "CupsId",
        "CustomValues", "DatePrinted", "DefaultPageSet", "DocumentName", "FoundJobColorInfo",
        "FoundJobDuplexInfo", "Id", "JobType", "OperatingSystem", "Options", "PrintedToFile",
        "Printer", "PrinterPopEarly", "ProcessModifier", "ProcessName", "SecureOption", "TrackOption",
        "TransactionFrom", "UpdateBalances", "User", "UserModifier"};
    EXPECT_EQ(KeysInDumpOrder(dumped), expected);
    // The compact dump, as the server receives it, keeps that order too.
    std::string text = dumped.dump();
    EXPECT_LT(text.find("\"CUPSNumberOfPages\""), text.find("\"ColorMode\""));
    EXPECT_LT(text.find("\"ColorMode\""), text.find("\"Comments\""));
}

TEST(JobJson, NewJobDumpsItsDefaults)
{
    json dumped;
    Job().ToJson(dumped);
    EXPECT_EQ(dumped["TransactionFrom"], 1);
    EXPECT_EQ(dumped["JobType"], 1);
    EXPECT_EQ(dumped["TrackOption"], 1);
    EXPECT_EQ(dumped["UpdateBalances"], true);
    EXPECT_EQ(dumped["DatePrinted"], "1.0000000000000000");
    EXPECT_EQ(dumped["Options"]["IsSpoolerJob"], true);
    EXPECT_EQ(dumped["Costing"]["Copies"], 1);
    EXPECT_EQ(dumped["Costing"]["PercentageModifierOption"], 1);
    EXPECT_TRUE(dumped["User"]["Allowance"].is_object());
    EXPECT_TRUE(dumped["ProcessModifier"]["BWModifier"].is_number_float());
    EXPECT_TRUE(dumped["CustomValues"].is_array());

    json client;
    ClientJob().ToJson(client);
    EXPECT_EQ(KeysInDumpOrder(client), KeysInDumpOrder(dumped));
    EXPECT_EQ(client["TransactionFrom"], 3);
    EXPECT_EQ(client["ProcessName"], "<Unknown>");
}

TEST(JobJson, ToJsonAddsToTheObjectItIsGiven)
{
    json object = {{"Extra", 1}, {"Id", "replaced"}};
    Job job;
    job.Id = 7;
    job.ToJson(object);
    EXPECT_EQ(object["Extra"], 1);
    EXPECT_EQ(object["Id"], 7);
}

TEST(JobJson, MinimalObjectGivesReaderDefaults)
{
    Job job;
    job.FromJson(MinimalJobJson());
    EXPECT_EQ(job.TrackOption, 0);
    EXPECT_FALSE(job.UpdateBalances);
    EXPECT_EQ(job.TransactionFrom, 0);
    EXPECT_EQ(CVClientData::DateUtil::ConvertStructToCOMString(job.DatePrinted), "0.0000000000000000");
    EXPECT_EQ(job.DatePrinted.tm_year, -1);
    EXPECT_EQ(job.DatePrinted.tm_mday, 30);
    // Optional records stay at their defaults.
    EXPECT_TRUE(job.Options.IsSpoolerJob);
    EXPECT_EQ(job.GetUser().Id, 0u);
    EXPECT_TRUE(job.GetPrinter().Name.empty());
}

struct RequiredCase {
    const char* name;
    const char* document;
    bool outOfRange;  // else a type error
};

TEST(JobJson, RequiredRecordsRaiseTheLibrarysErrors)
{
    const RequiredCase cases[] = {
        {"empty object", R"({})", true},
        {"no user modifier", R"({"ProcessModifier":{},"Costing":{"PageSets":[]}})", true},
        {"no page sets", R"({"ProcessModifier":{},"UserModifier":{},"Costing":{}})", true},
        {"costing is a list", R"({"ProcessModifier":{},"UserModifier":{},"Costing":[]})", false},
        {"page sets is an object", R"({"ProcessModifier":{},"UserModifier":{},"Costing":{"PageSets":{}}})", false},
        {"options without fields",
         R"({"ProcessModifier":{},"UserModifier":{},"Costing":{"PageSets":[]},"Options":{}})", true},
        {"user without allowance",
         R"({"ProcessModifier":{},"UserModifier":{},"Costing":{"PageSets":[]},"User":{"Id":3}})", true},
        {"custom value without modifier",
         R"({"ProcessModifier":{},"UserModifier":{},"Costing":{"PageSets":[]},"CustomValues":[{"FieldId":1}]})",
         true},
        {"not an object", R"([1,2])", false},
    };
    for (const RequiredCase& c : cases) {
        Job job;
        json document = json::parse(c.document);
        if (c.outOfRange)
            EXPECT_THROW(job.FromJson(document), json::out_of_range) << c.name;
        else
            EXPECT_THROW(job.FromJson(document), json::type_error) << c.name;
    }
}

TEST(JobJson, NullOptionalRecordsAreSkipped)
{
    json document = MinimalJobJson();
    for (const char* key : {"Options", "User", "Printer", "CustomValues", "DefaultPageSet"})
        document[key] = nullptr;
    Job job;
    job.GetPrinter().Name = "kept";
    ASSERT_NO_THROW(job.FromJson(document));
    EXPECT_EQ(job.GetPrinter().Name, "kept");
}

struct MistypedCase {
    const char* document;  // merged into the minimal job
    uint64_t id;
    bool colorMode;
    std::string comments;
};

TEST(JobJson, MistypedScalarsGiveDefaults)
{
    const MistypedCase cases[] = {
        {R"({"ColorMode":1})", 0, false, ""},
        {R"({"ColorMode":"true"})", 0, false, ""},
        {R"({"ColorMode":true})", 0, true, ""},
        {R"({"Id":12.9})", 12, false, ""},
        {R"({"Id":"12"})", 0, false, ""},
        {R"({"Id":-5})", 0, false, ""},
        {R"({"Comments":42})", 0, false, ""},
        {R"({"Comments":"ok"})", 0, false, "ok"},
    };
    for (const MistypedCase& c : cases) {
        json document = MinimalJobJson();
        document.update(json::parse(c.document));
        Job job;
        job.FromJson(document);
        EXPECT_EQ(job.Id, c.id) << c.document;
        EXPECT_EQ(job.ColorMode, c.colorMode) << c.document;
        EXPECT_EQ(job.Comments, c.comments) << c.document;
    }
}

TEST(JobJson, ComputerNameHasItsDotsReplaced)
{
    json document = MinimalJobJson();
    document["ComputerName"] = "mac.office.example";
    Job job;
    job.FromJson(document);
    EXPECT_EQ(job.GetComputerName(), "mac_office_example");
    json dumped;
    job.ToJson(dumped);
    EXPECT_EQ(dumped["ComputerName"], "mac_office_example");
}

TEST(JobJson, DateTextReadsAndWritesBack)
{
    for (json date : {json("45000.5000000000000000"), json(45000.5)}) {
        json document = MinimalJobJson();
        document["DatePrinted"] = date;
        Job job;
        job.FromJson(document);
        json dumped;
        job.ToJson(dumped);
        EXPECT_EQ(dumped["DatePrinted"], "45000.5000000000000000") << date;
    }
}

TEST(JobJson, EverySerialisedMemberSurvivesTheRoundTrip)
{
    ClientJob job;
    job.Id = 99;
    job.JobType = 4;
    job.OperatingSystem = "Linux";
    job.Comments = "for the board";
    job.DocumentName = "report.pdf";
    job.ColorMode = true;
    job.PrintedToFile = true;
    job.PrinterPopEarly = true;
    job.TrackOption = 2;
    job.DatePrinted = CVClientData::DateUtil::ConvertCOMStringToStruct("45123.4567");
    job.UpdateBalances = false;
    job.ProcessModifier.ModifierType = 1;
    job.ProcessModifier.BWModifier = 90;
    job.UserModifier.ColorModifier = 0.25;
    job.Costing.PriceOption = 3;
    job.Costing.Copies = 2;
    job.Costing.PaperSizes.resize(1);
    job.Costing.PaperSizes[0].ToWidth = 2100;
    job.Options.SpecialProcessingFlags = 1;
    job.Options.CustomField.resize(2);
    job.Options.CustomField[1].Name = "Project";
    job.Options.DelayedJob = true;
    CustomFieldValue value;
    value.FieldId = 3;
    value.Code = "A1";
    value.Modifier.BWModifier = 1.5;
    job.CustomValues.push_back(value);
    job.SecureOption = 2;
    job.CupsId = 1234;
    job.CUPSNumberOfPages = 12;
    job.DefaultPageSet.SizeName = "A4";
    job.FoundJobColorInfo = true;
    job.FoundJobDuplexInfo = true;
    job.GetUser().Id = 5;
    job.GetUser().ColorBalanceOverdraft = 2.5;
    job.GetPrinter().Id = 6;
    job.GetPrinter().Serial = "SN1";
    job.SetComputerName("host.local");
    job.AddPageSet("Letter", 2159, 2794, 3, 4, 1);

    json first;
    job.ToJson(first);
    ClientJob back;
    back.FromJson(first);
    json second;
    back.ToJson(second);
    EXPECT_EQ(second, first);
    EXPECT_TRUE(back.FoundJobColorInfo);
    EXPECT_TRUE(back.FoundJobDuplexInfo);
    EXPECT_EQ(back.DatePrinted.tm_sec, job.DatePrinted.tm_sec);
}

TEST(JobJson, ServerJobFormNamesPrinterAndUser)
{
    json document = MinimalJobJson();
    document["Printer"] = {{"Id", 1}, {"Name", "from record"}};
    document["DeviceId"] = 77;
    document["DeviceDisplayName"] = "Floor 2";
    document["UserId"] = 88;
    Job job;
    job.GetPrinter().PrinterUri = "ipp://localhost/printers/p";
    job.FromJson(document);
    EXPECT_EQ(job.GetPrinter().Id, 77u);
    EXPECT_EQ(job.GetPrinter().Name, "Floor 2");
    EXPECT_EQ(job.GetUser().Id, 88u);
    // The printer record replaced the old one whole.
    EXPECT_TRUE(job.GetPrinter().PrinterUri.empty());

    Job untouched;
    untouched.GetPrinter().PrinterUri = "ipp://localhost/printers/p";
    untouched.FromJson(MinimalJobJson());
    EXPECT_EQ(untouched.GetPrinter().PrinterUri, "ipp://localhost/printers/p");
}

TEST(JobJson, FoundFlagsAndCupsNumbersStayWhenAbsent)
{
    Job job;
    job.FoundJobColorInfo = true;
    job.CupsId = 5;
    job.DefaultPageSet.Width = 10;
    job.FromJson(MinimalJobJson());
    EXPECT_TRUE(job.FoundJobColorInfo);
    EXPECT_EQ(job.CupsId, 5u);
    EXPECT_EQ(job.DefaultPageSet.Width, 10);
}

struct PageSetCase {
    bool colorCapable;
    bool colorMode;
    int32_t expectedBW;
    int32_t expectedColor;
};

TEST(JobOperations, AddPageSetFoldsColourIntoMonoUnlessBothAllowIt)
{
    const PageSetCase cases[] = {
        {true, true, 5, 3},
        {false, true, 8, 0},
        {true, false, 8, 0},
        {false, false, 8, 0},
    };
    for (const PageSetCase& c : cases) {
        Job job;
        job.GetPrinter().ColorCapable = c.colorCapable;
        job.ColorMode = c.colorMode;
        job.AddPageSet("A4", 2100, 2970, 5, 3, 2);
        ASSERT_EQ(job.Costing.PageSets.size(), 1u);
        const CVClientData::PageSet& set = job.Costing.PageSets[0];
        EXPECT_EQ(set.BWPages, c.expectedBW) << c.colorCapable << c.colorMode;
        EXPECT_EQ(set.ColorPages, c.expectedColor) << c.colorCapable << c.colorMode;
        EXPECT_EQ(set.SizeName, "A4");
        EXPECT_EQ(set.Width, 2100);
        EXPECT_EQ(set.Height, 2970);
        EXPECT_EQ(set.PageUnits, 2);
    }
}

CustomFieldValue MakeValue(uint64_t field, uint64_t valueId, const char* code)
{
    CustomFieldValue value;
    value.FieldId = field;
    value.ValueId = valueId;
    value.Code = code;
    return value;
}

TEST(JobOperations, CustomFieldValuesByField)
{
    Job job;
    job.CustomValues = {MakeValue(1, 0, ""), MakeValue(1, 10, "late"), MakeValue(2, 20, ""), MakeValue(3, 0, "C")};
    // The first value of field 1 names nothing; the later one is not looked at.
    EXPECT_FALSE(job.GetCustomFieldValue(1).has_value());
    EXPECT_EQ(job.GetCustomFieldValue(2)->ValueId, 20u);
    EXPECT_EQ(job.GetCustomFieldValue(3)->Code, "C");
    EXPECT_FALSE(job.GetCustomFieldValue(4).has_value());

    job.SetCustomFieldValue(MakeValue(1, 11, "new"));
    ASSERT_EQ(job.CustomValues.size(), 4u);
    EXPECT_EQ(job.CustomValues[0].ValueId, 11u);
    EXPECT_EQ(job.CustomValues[1].ValueId, 10u);
    job.SetCustomFieldValue(MakeValue(9, 90, ""));
    ASSERT_EQ(job.CustomValues.size(), 5u);
    EXPECT_EQ(job.CustomValues.back().FieldId, 9u);

    job.ClearCustomFieldValue(1);
    ASSERT_EQ(job.CustomValues.size(), 4u);
    EXPECT_EQ(job.CustomValues[0].ValueId, 10u);
    EXPECT_EQ(job.CustomValues[1].FieldId, 2u);
}

TEST(JobOperations, CopyUserEnterableMembers)
{
    Job source;
    source.Comments = "note";
    source.Costing.OverrodeCostPerUnit = true;
    source.Costing.OverriddenBWUnitCost = 0.1;
    source.Costing.OverriddenColorUnitCost = 0.2;
    source.Costing.OverrodeAddedCosts = true;
    source.Costing.OverriddenAddedCosts = 1.5;
    source.Costing.BaseBWUnitCost = 9;
    source.CustomValues = {MakeValue(1, 2, "X")};
    source.DocumentName = "not copied";

    Job target;
    target.CopyUserEnterableMembersFrom(source);
    EXPECT_EQ(target.Comments, "note");
    EXPECT_TRUE(target.Costing.OverrodeCostPerUnit);
    EXPECT_DOUBLE_EQ(target.Costing.OverriddenColorUnitCost, 0.2);
    EXPECT_DOUBLE_EQ(target.Costing.OverriddenAddedCosts, 1.5);
    EXPECT_DOUBLE_EQ(target.Costing.BaseBWUnitCost, 0.0);
    EXPECT_EQ(target.DocumentName, "");
    ASSERT_EQ(target.CustomValues.size(), 1u);

    target.CopyUserEnterableMembersFrom(target);
    EXPECT_EQ(target.CustomValues.size(), 1u);
}

TEST(ClientJobRecord, FlagsAndCopies)
{
    ClientJob job;
    EXPECT_FALSE(job.IsSecured());
    job.SecureOption = 3;
    EXPECT_TRUE(job.IsSecured());
    EXPECT_FALSE(job.IsDisconnected());
    job.SetDisconnected(true);
    EXPECT_TRUE(job.Options.DisconnectedJob);
    EXPECT_TRUE(job.IsDisconnected());

    // Only the pop-up (1) and silent (2) options are tracked.
    const std::pair<int32_t, bool> tracked[] = {{0, false}, {1, true}, {2, true}, {3, false}, {4, false}};
    for (const auto& [track, expected] : tracked) {
        job.TrackOption = track;
        EXPECT_EQ(job.IsTracked(), expected) << track;
    }

    job.CancelReason = 8;
    job.CustomCancelEventMessage = "balance";
    ClientJob copy(job);
    EXPECT_EQ(copy.CancelReason, 8);
    EXPECT_EQ(copy.CustomCancelEventMessage, "balance");
    // Reading JSON leaves the client-only members alone.
    copy.FromJson(MinimalJobJson());
    EXPECT_EQ(copy.CancelReason, 8);
}

}  // namespace
