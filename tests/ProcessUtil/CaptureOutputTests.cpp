#include "Core/ProcessUtil/ProcessUtil.h"

#include "tests/ProcessUtil/ForkedProcess.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

using CVClientData::ProcessUtil;

TEST(CaptureOutput, ArgumentsReachTheProgramWithoutAShell)
{
    TestSupport::TempRoot root;
    struct Case {
        std::vector<std::string> arguments;
        std::string expected;
    };
    const Case cases[] = {
        {{"/bin/echo", "hello; touch " + root.Path() + "/pwned", "$(id)"}, "hello; touch " + root.Path() + "/pwned $(id)\n"},
        {{"/bin/printf", "a\\000b"}, "a"},
        {{"/nonexistent/program"}, ""},
        {{}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProcessUtil::ExecuteChildAndCaptureOutput(c.arguments), c.expected);
    EXPECT_FALSE(std::filesystem::exists(root.Path() + "/pwned"));
}

TEST(CaptureOutput, LongOutputIsReadWholeAndErrorsAreNotCaptured)
{
    TestSupport::TempRoot root;
    std::string program = root.Path() + "/talk";
    ProcessUtilTests::WriteProgram(program, "#!/bin/sh\nseq 1 20000\necho oops >&2\n");
    std::string output = ProcessUtil::ExecuteChildAndCaptureOutput({program});
    EXPECT_TRUE(output.starts_with("1\n2\n3\n"));
    EXPECT_TRUE(output.ends_with("19999\n20000\n"));
    EXPECT_EQ(output.find("oops"), std::string::npos);
}

TEST(CaptureOutput, JobThreadsCaptureAtTheSameTime)
{
    TestSupport::TempRoot root;
    std::vector<std::thread> threads;
    std::vector<std::string> results(8);
    for (size_t i = 0; i < results.size(); ++i)
        threads.emplace_back([&results, i] {
            for (int round = 0; round < 5; ++round)
                results[i] += ProcessUtil::ExecuteChildAndCaptureOutput({"/bin/echo", std::to_string(i)});
        });
    for (auto& thread : threads)
        thread.join();
    for (size_t i = 0; i < results.size(); ++i) {
        std::string one = std::to_string(i) + "\n";
        EXPECT_EQ(results[i], one + one + one + one + one);
    }
}
