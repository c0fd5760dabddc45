#include "hook/JobDataSpool.h"
#include "tests/Support/RandomBytes.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Appends the text in pieces of the given sizes, repeated to its end.
bool AppendInPieces(JobDataSpool& spool, const std::string& text, std::initializer_list<size_t> sizes)
{
    size_t done = 0;
    while (done < text.size()) {
        for (size_t size : sizes) {
            size_t piece = std::min(size, text.size() - done);
            auto bytes = reinterpret_cast<const unsigned char*>(text.data() + done);
            if (!spool.Append({bytes, piece}))
                return false;
            done += piece;
        }
    }
    return true;
}

// Everything in a descriptor from its start.
std::string ReadWhole(int fd)
{
    std::string text;
    char buffer[4096];
    for (off_t offset = 0;;) {
        ssize_t got = pread(fd, buffer, sizeof buffer, offset);
        if (got <= 0)
            return text;
        text.append(buffer, static_cast<size_t>(got));
        offset += got;
    }
}

}  // namespace

TEST(JobDataSpoolTest, BytesBeyondTheMemoryLimitGoToAPrivateNamelessFile)
{
    TestSupport::TempRoot root;
    std::string folder = root.Path() + "/spill";
    fs::create_directories(folder);
    const std::string job = TestSupport::RandomBytes(50000);
    struct LimitCase {
        size_t limit;
        size_t length;
    };
    for (const auto& c : {LimitCase{1000, 50000}, LimitCase{4096, 4096}, LimitCase{60000, 50000}, LimitCase{0, 777}}) {
        JobDataSpool spool(c.limit, folder);
        std::string text = job.substr(0, c.length);
        ASSERT_TRUE(AppendInPieces(spool, text, {1, 999, 65536, 3}));
        EXPECT_EQ(spool.GetSize(), text.size());
        auto head = spool.GetHead();
        size_t inMemory = std::min(c.limit, text.size());
        ASSERT_EQ(head.size(), inMemory) << c.limit;
        EXPECT_EQ(std::string(head.begin(), head.end()), text.substr(0, inMemory));
        if (inMemory == text.size()) {
            EXPECT_EQ(spool.GetSpillDescriptor(), -1) << c.limit;
            continue;
        }
        int fd = spool.GetSpillDescriptor();
        ASSERT_GE(fd, 0) << c.limit;
        EXPECT_EQ(ReadWhole(fd), text.substr(inMemory)) << c.limit;
        struct stat info {};
        ASSERT_EQ(fstat(fd, &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0600u);
        EXPECT_EQ(info.st_nlink, 0u);
        EXPECT_TRUE(fs::is_empty(folder));
    }
}

TEST(JobDataSpoolTest, SpillThatCannotBeMadeFailsForGood)
{
    TestSupport::TempRoot root;
    JobDataSpool spool(10, root.Path() + "/no-such-folder");
    const std::string text = TestSupport::RandomBytes(30);
    EXPECT_FALSE(AppendInPieces(spool, text, {30}));
    EXPECT_TRUE(spool.HasFailed());
    EXPECT_FALSE(AppendInPieces(spool, "a", {1}));
}
