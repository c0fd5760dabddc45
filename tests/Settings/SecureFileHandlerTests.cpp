#include "Core/CVModels/LocalFiles/SecureFileHandler.h"
#include "Platform/UserAccount.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <chrono>
#include <functional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::span<const unsigned char> AsBytes(std::string_view text)
{
    return {reinterpret_cast<const unsigned char*>(text.data()), text.size()};
}

class SecureFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(Support());
        fs::create_directories(mRoot.Host("/var/spool/cups"));
        // Only root writes in the folder, as installed.
        fs::permissions(Support(), fs::perms(0755));
        SetDebugLogging("1");
    }

    void SetDebugLogging(const char* level) const
    {
        mRoot.WriteClientPreferences({{"ClientServicesUrl", "https://srv/"}, {"DebugLogging", level}});
    }

    std::string Support() const { return mRoot.Folder(Platform::Folder::SystemData); }
    std::string Spool(const char* name) const { return mRoot.Host("/var/spool/cups/") + name; }

    static struct stat Status(const std::string& path)
    {
        struct stat info {};
        EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
        return info;
    }

    std::set<std::string> SupportEntries() const
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(Support()))
            names.insert(entry.path().filename().string());
        return names;
    }

    TestSupport::TempRoot mRoot;
};

TEST_F(SecureFiles, NamesForShortAndLongJobIds)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"42", "d00042-001", ".Secure_42.payload"},
        {"7", "d00007-001", ".Secure_7.payload"},
        {"12345", "d12345-001", ".Secure_12345.payload"},
        {"123456", "d123456-001", ".Secure_123456.payload"},
        {"00042", "d00042-001", ".Secure_00042.payload"},
    };
    SecureFileHandler handler;
    for (const auto& [id, spoolName, payloadName] : cases) {
        EXPECT_EQ(handler.GetCupsDataFilePath(id), Spool(spoolName)) << id;
        EXPECT_EQ(handler.ConstructFileName(id), payloadName) << id;
        EXPECT_EQ(handler.GetFullPathToSecureFile(id), Support() + "/" + payloadName) << id;
    }
}

TEST_F(SecureFiles, JobIdsThatCannotNameAFile)
{
    for (const char* id : {"", "../42", "4/2", "42 ", "-1", "12345678901", "4a"})
        EXPECT_FALSE(SecureFileHandler::IsValidJobId(id)) << "\"" << id << "\"";
    for (const char* id : {"0", "42", "1234567890"})
        EXPECT_TRUE(SecureFileHandler::IsValidJobId(id)) << id;

    SecureFileHandler handler;
    EXPECT_FALSE(handler.CopyCupsDataFile("../../x"));
    EXPECT_FALSE(handler.WriteParsedData("../x", AsBytes("data")));
    EXPECT_TRUE(SupportEntries().empty());
}

TEST_F(SecureFiles, CopyIsPrivateAndReplacesAnEarlierCopy)
{
    TestSupport::WriteFileText(Spool("d00042-001"), "%!PS first");
    SecureFileHandler handler;
    ASSERT_TRUE(handler.CopyCupsDataFile("42"));
    std::string payload = handler.GetFullPathToSecureFile("42");
    EXPECT_EQ(TestSupport::ReadFileText(payload), "%!PS first");
    EXPECT_EQ(Status(payload).st_mode & 07777, 0600u);

    TestSupport::WriteFileText(Spool("d00042-001"), "%!PS second");
    ASSERT_TRUE(handler.CopyCupsDataFile("42"));
    EXPECT_EQ(TestSupport::ReadFileText(payload), "%!PS second");
    EXPECT_EQ(SupportEntries(), std::set<std::string>{".Secure_42.payload"});
}

TEST_F(SecureFiles, MissingSpoolFileMakesNoPayload)
{
    SecureFileHandler handler;
    EXPECT_FALSE(handler.CopyCupsDataFile("99"));
    EXPECT_TRUE(SupportEntries().empty());
}

TEST_F(SecureFiles, PrePlacedSymbolicLinksAreNotFollowed)
{
    std::string victim = mRoot.Host("/victim");
    TestSupport::WriteFileText(victim, "precious");
    fs::create_symlink(victim, Support() + "/.Secure_42.payload");
    fs::create_symlink(victim, Support() + "/.parser_42.parser");
    TestSupport::WriteFileText(Spool("d00042-001"), "job data");

    SecureFileHandler handler;
    ASSERT_TRUE(handler.CopyCupsDataFile("42"));
    ASSERT_TRUE(handler.WriteParsedData("42", AsBytes("chunk")));
    EXPECT_EQ(TestSupport::ReadFileText(victim), "precious");
    for (const char* name : {"/.Secure_42.payload", "/.parser_42.parser"}) {
        struct stat info = Status(Support() + name);
        EXPECT_TRUE(S_ISREG(info.st_mode)) << name;
        EXPECT_EQ(info.st_mode & 07777, 0600u) << name;
    }
}

// In a folder that others may write in, another user could put a folder or
// a link at a job's name first: no copy and no dump is made there.
TEST_F(SecureFiles, NoCopyOrDumpInAFolderOthersMayWriteIn)
{
    TestSupport::WriteFileText(Spool("d00042-001"), "job data");
    for (unsigned mode : {01777u, 0775u}) {
        fs::permissions(Support(), fs::perms(mode));
        SecureFileHandler handler;
        EXPECT_FALSE(handler.CopyCupsDataFile("42")) << std::oct << mode;
        EXPECT_FALSE(handler.WriteParsedData("42", AsBytes("chunk"))) << std::oct << mode;
        EXPECT_TRUE(SupportEntries().empty()) << std::oct << mode;
    }
}

TEST_F(SecureFiles, FilesGoToTheJobOwnerWhenRunningAsRoot)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "handing files over needs root";
    std::optional<Platform::UserAccount> nobody = Platform::LookupUser("nobody");
    ASSERT_TRUE(nobody.has_value());
    TestSupport::WriteFileText(Spool("d00005-001"), "job data");

    SecureFileHandler handler("nobody");
    ASSERT_TRUE(handler.CopyCupsDataFile("5"));
    ASSERT_TRUE(handler.WriteParsedData("5", AsBytes("chunk")));
    for (const char* name : {"/.Secure_5.payload", "/.parser_5.parser"}) {
        struct stat info = Status(Support() + name);
        EXPECT_EQ(info.st_uid, nobody->uid) << name;
        EXPECT_EQ(info.st_mode & 07777, 0600u) << name;
    }
}

TEST_F(SecureFiles, ParserDumpOnlyWithDebugLogging)
{
    SetDebugLogging("0");
    {
        SecureFileHandler quiet;
        EXPECT_TRUE(quiet.WriteParsedData("8", AsBytes("chunk")));
        EXPECT_TRUE(SupportEntries().empty());
    }
    SetDebugLogging("1");
    std::string dump = Support() + "/.parser_8.parser";
    {
        SecureFileHandler handler;
        ASSERT_TRUE(handler.WriteParsedData("8", AsBytes("one,")));
        ASSERT_TRUE(handler.WriteParsedData("8", AsBytes("two")));
        EXPECT_EQ(TestSupport::ReadFileText(dump), "one,two");
    }
    // A later job with the same id starts its own dump.
    SecureFileHandler next;
    ASSERT_TRUE(next.WriteParsedData("8", AsBytes("three")));
    EXPECT_EQ(TestSupport::ReadFileText(dump), "three");
}

TEST_F(SecureFiles, OnlyTheNewestParserDumpsAreKept)
{
    const size_t keep = SecureFileHandler::kMaxParserDumps;
    for (size_t id = 1; id <= keep + 5; ++id) {
        SecureFileHandler handler;
        ASSERT_TRUE(handler.WriteParsedData(std::to_string(id), AsBytes("data")));
        // Distinct modification times, oldest first.
        fs::last_write_time(Support() + "/.parser_" + std::to_string(id) + ".parser",
                            fs::file_time_type::clock::now() - std::chrono::seconds(1000 - id));
    }
    std::set<std::string> expected;
    for (size_t id = 6; id <= keep + 5; ++id)
        expected.insert(".parser_" + std::to_string(id) + ".parser");
    EXPECT_EQ(SupportEntries(), expected);
}

TEST_F(SecureFiles, DeletingPayloads)
{
    for (const char* name : {".Secure_7.payload", "Secure_7.payload", ".Secure_7.payload.bak", ".x.payload.payload",
                             ".Secure_8.payload", ".parser_7.parser"})
        TestSupport::WriteFileText(Support() + "/" + name, "x");
    SecureFileHandler handler;
    handler.DeleteSecurePayload("8");
    handler.DeleteSecurePayload("1000");  // missing: nothing happens
    EXPECT_FALSE(fs::exists(Support() + "/.Secure_8.payload"));

    handler.DeleteAllSecurePayloads();
    EXPECT_EQ(SupportEntries(), (std::set<std::string>{"Secure_7.payload", ".Secure_7.payload.bak",
                                                       ".x.payload.payload", ".parser_7.parser"}));

    fs::remove_all(Support());
    handler.DeleteAllSecurePayloads();  // an absent folder does nothing
}

}  // namespace
