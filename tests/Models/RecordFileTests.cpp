#include "Core/CVModels/ClientJob.h"
#include "Core/CVModels/CostModifier.h"
#include "Core/CVModels/User.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::string Bytes(std::initializer_list<unsigned> values)
{
    std::string bytes;
    for (unsigned value : values)
        bytes.push_back(static_cast<char>(value));
    return bytes;
}

// CostModifier {ModifierType 300, BWModifier 1.5, ColorModifier 0.1} as CBOR:
// one map of three pairs, keys in byte order, the integer in its shortest
// form, 1.5 as a single-precision float and 0.1 as a double.
const std::string CostModifierGolden = Bytes({
    0xA3,                                                                    // map(3)
    0x6A, 'B', 'W', 'M', 'o', 'd', 'i', 'f', 'i', 'e', 'r',                  // "BWModifier"
    0xFA, 0x3F, 0xC0, 0x00, 0x00,                                            // 1.5
    0x6D, 'C', 'o', 'l', 'o', 'r', 'M', 'o', 'd', 'i', 'f', 'i', 'e', 'r',   // "ColorModifier"
    0xFB, 0x3F, 0xB9, 0x99, 0x99, 0x99, 0x99, 0x99, 0x9A,                    // 0.1
    0x6C, 'M', 'o', 'd', 'i', 'f', 'i', 'e', 'r', 'T', 'y', 'p', 'e',        // "ModifierType"
    0x19, 0x01, 0x2C,                                                        // 300
});

class RecordFiles : public ::testing::Test {
protected:
    std::string Path(const char* name) const { return mRoot.Host("/records/") + name; }
    void SetUp() override { fs::create_directories(mRoot.Host("/records")); }

    static mode_t Mode(const std::string& path)
    {
        struct stat info {};
        EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
        return info.st_mode;
    }

    TestSupport::TempRoot mRoot;
};

CVClientData::CostModifier GoldenModifier()
{
    CVClientData::CostModifier modifier;
    modifier.ModifierType = 300;
    modifier.BWModifier = 1.5;
    modifier.ColorModifier = 0.1;
    return modifier;
}

TEST_F(RecordFiles, SmallRecordMatchesGoldenBytes)
{
    ASSERT_TRUE(GoldenModifier().WriteToBinaryFile(Path("modifier.bin")));
    EXPECT_EQ(TestSupport::ReadFileText(Path("modifier.bin")), CostModifierGolden);

    TestSupport::WriteFileText(Path("golden.bin"), CostModifierGolden);
    CVClientData::CostModifier read;
    ASSERT_TRUE(read.LoadFromBinaryFile(Path("golden.bin")));
    EXPECT_EQ(read.ModifierType, 300);
    EXPECT_DOUBLE_EQ(read.BWModifier, 1.5);
    EXPECT_DOUBLE_EQ(read.ColorModifier, 0.1);
}

TEST_F(RecordFiles, JobAndUserRoundTripPrivately)
{
    ClientJob job;
    job.CupsId = 42;
    job.DocumentName = "minutes.odt";
    job.SetComputerName("ws.example");
    job.GetUser().ServiceAuthToken = "secret-token";
    job.SetDisconnected(true);
    ASSERT_TRUE(job.WriteToBinaryFile(Path(".ws_example.42.job")));
    EXPECT_EQ(Mode(Path(".ws_example.42.job")) & 07777, 0600u);

    ClientJob back;
    ASSERT_TRUE(back.LoadFromBinaryFile(Path(".ws_example.42.job")));
    json a, b;
    job.ToJson(a);
    back.ToJson(b);
    EXPECT_EQ(a, b);
    EXPECT_TRUE(back.IsDisconnected());

    // Only the finished file is left in the folder.
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(mRoot.Host("/records")))
        ++entries;
    EXPECT_EQ(entries, 1u);
}

struct DamagedCase {
    const char* name;
    std::string content;
    bool create;  // false: no file at the path
};

TEST_F(RecordFiles, DamagedOrMissingFilesLeaveTheRecordAsItWas)
{
    std::string deep(100000, static_cast<char>(0x81));  // arrays nested 100000 deep
    deep.push_back(0x00);
    const DamagedCase cases[] = {
        {"missing file", "", false},
        {"empty file", "", true},
        {"truncated", CostModifierGolden.substr(0, CostModifierGolden.size() - 1), true},
        {"cut in a key", CostModifierGolden.substr(0, 8), true},
        {"bytes after the item", CostModifierGolden + Bytes({0x00}), true},
        {"random bytes", Bytes({0xFF, 0x13, 0x9C, 0x00, 0x7F, 0xC3}), true},
        {"deeply nested", deep, true},
        {"not a map", Bytes({0x83, 0x01, 0x02, 0x03}), true},
        // A sound map that lacks the job's required records.
        {"map without required keys", Bytes({0xA1, 0x62, 'I', 'd', 0x05}), true},
    };
    for (const DamagedCase& c : cases) {
        std::string path = Path("damaged.job");
        fs::remove(path);
        if (c.create)
            TestSupport::WriteFileText(path, c.content);

        ClientJob job;
        job.Id = 17;
        job.DocumentName = "kept";
        job.Costing.Copies = 3;
        json before;
        job.ToJson(before);
        EXPECT_FALSE(job.LoadFromBinaryFile(path)) << c.name;
        json after;
        job.ToJson(after);
        EXPECT_EQ(after, before) << c.name;
    }
}

TEST_F(RecordFiles, FolderIsNotARecordFile)
{
    CVClientData::User user;
    EXPECT_FALSE(user.LoadFromBinaryFile(mRoot.Host("/records")));
}

TEST_F(RecordFiles, WriteFailsIntoAMissingFolder)
{
    EXPECT_FALSE(GoldenModifier().WriteToBinaryFile(mRoot.Host("/no/such/folder/file.bin")));
}

TEST_F(RecordFiles, WriteReplacesASymbolicLinkInsteadOfFollowingIt)
{
    std::string victim = mRoot.Host("/victim.txt");
    TestSupport::WriteFileText(victim, "do not touch");
    std::string path = Path(".cvkUser.cache");
    fs::create_symlink(victim, path);

    CVClientData::User user;
    user.ServiceAuthToken = "token";
    ASSERT_TRUE(user.WriteToBinaryFile(path));
    EXPECT_EQ(TestSupport::ReadFileText(victim), "do not touch");
    EXPECT_TRUE(S_ISREG(Mode(path)));
    EXPECT_EQ(Mode(path) & 07777, 0600u);

    CVClientData::User back;
    ASSERT_TRUE(back.LoadFromBinaryFile(path));
    EXPECT_EQ(back.ServiceAuthToken, "token");
}

}  // namespace
