#include "Core/CVModels/PendingJobList.h"
#include "tests/Support/TempRoot.h"
#include "tests/Support/NamedCases.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using TestSupport::operator<<;
using CVClientData::PendingJobList;

ClientJob JobNamed(const std::string& name)
{
    ClientJob job;
    job.DocumentName = name;
    return job;
}

std::vector<std::string> Names(const PendingJobList& list)
{
    std::vector<std::string> names;
    for (const auto& job : list)
        names.push_back(job->DocumentName);
    return names;
}

class PendingJobs : public ::testing::Test {
protected:
    TestSupport::TempRoot mRoot;  // the list logs
};

TEST_F(PendingJobs, AddKeepsOrderAndCopies)
{
    PendingJobList list;
    ClientJob first = JobNamed("a");
    list.Add(first);
    first.DocumentName = "changed";  // the list holds its own copy
    list.Add(std::make_unique<ClientJob>(JobNamed("b")));
    list.Add(std::vector<ClientJob>{JobNamed("c"), JobNamed("d")});
    std::vector<std::unique_ptr<ClientJob>> owned;
    owned.push_back(std::make_unique<ClientJob>(JobNamed("e")));
    owned.push_back(nullptr);
    owned.push_back(std::make_unique<ClientJob>(JobNamed("f")));
    list.Add(std::move(owned));
    list.Add(std::unique_ptr<ClientJob>());
    EXPECT_EQ(Names(list), (std::vector<std::string>{"a", "b", "c", "d", "e", "f"}));
}

struct EraseCase {
    const char* Name;
    size_t Position;
    std::vector<std::string> Left;
    const char* Next;  // the job at the answered position, nullptr for the end
};

const EraseCase EraseCases[] = {
    {"First", 0, {"b", "c"}, "b"},
    {"Middle", 1, {"a", "c"}, "c"},
    {"Last", 2, {"a", "b"}, nullptr},
    {"EndErasesNothing", 3, {"a", "b", "c"}, nullptr},
};

class EraseIttr : public PendingJobs, public ::testing::WithParamInterface<EraseCase> {};

TEST_P(EraseIttr, RemovesOneAndAnswersTheNext)
{
    const EraseCase& test = GetParam();
    PendingJobList list;
    list.Add(std::vector<ClientJob>{JobNamed("a"), JobNamed("b"), JobNamed("c")});
    auto next = list.EraseIttr(list.begin() + static_cast<std::ptrdiff_t>(test.Position));
    EXPECT_EQ(Names(list), test.Left);
    if (test.Next == nullptr) {
        EXPECT_EQ(next, list.end());
    } else {
        ASSERT_NE(next, list.end());
        EXPECT_EQ((*next)->DocumentName, test.Next);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, EraseIttr, ::testing::ValuesIn(EraseCases), TestSupport::CaseName());

// The way the pending-jobs step releases jobs: erase while walking.
TEST_F(PendingJobs, EraseWhileWalking)
{
    PendingJobList list;
    list.Add(std::vector<ClientJob>{JobNamed("keep"), JobNamed("go"), JobNamed("go"), JobNamed("keep2")});
    for (auto position = list.begin(); position != list.end();) {
        if ((*position)->DocumentName == "go")
            position = list.EraseIttr(position);
        else
            ++position;
    }
    EXPECT_EQ(Names(list), (std::vector<std::string>{"keep", "keep2"}));
}

TEST_F(PendingJobs, ClearEmptiesAndTheListStaysUsable)
{
    PendingJobList list;
    list.Add(JobNamed("a"));
    list.Add(JobNamed("b"));
    EXPECT_EQ(list.size(), 2u);
    list.Clear();
    EXPECT_TRUE(list.empty());
    list.Clear();
    list.Add(JobNamed("c"));
    EXPECT_EQ(Names(list), (std::vector<std::string>{"c"}));
}

}  // namespace
