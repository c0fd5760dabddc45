// The program "Quorvel Client" itself.
#include "tests/Support/ChildProgram.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

// Without the server's address in the preferences the program says why in
// the log and ends at once, successfully and without a window.
TEST(ProgramTest, WithoutTheServersAddressTheProgramEndsAtOnce)
{
    TestSupport::TempRoot root;
    root.WriteClientPreferences({{"DebugLogging", "1"}});
    auto start = std::chrono::steady_clock::now();
    TestSupport::ProgramResult result =
        TestSupport::RunProgram({"/usr/bin/env", "CVK_ROOT=" + root.Path(), "QT_QPA_PLATFORM=offscreen",
                                 CVK_CLIENT_APPLICATION});
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_NE(root.ClientLogText().find("E [") , std::string::npos);
    EXPECT_NE(result.output.find("Configuration incomplete, client URL not set."), std::string::npos) << result.output;
    EXPECT_NE(root.ClientLogText().find("Configuration incomplete, client URL not set. Unable to start Quorvel "
                                        "Client. Launch the Quorvel Configuration app to complete the "
                                        "configuration and try again."),
              std::string::npos);
}

}  // namespace
