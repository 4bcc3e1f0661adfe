// The closing step of a piece of work runs once on every exit, and the right exception passes.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/KpRunThen.h"

using namespace kp;

namespace {

struct Case {
    const char* name;
    bool bodyRaises;
    bool finishRaises;
    const char* expected; // the message that passes on, or nullptr
};

class RunThenCases : public ::testing::TestWithParam<Case> {};

TEST_P(RunThenCases, FinishRunsOnceAndTheRightErrorPasses) {
    const Case c = GetParam();
    int finished = 0;
    std::string caught;
    int result = 0;
    try {
        result = kp::RunThen(
            [&] {
                if (c.bodyRaises) throw std::runtime_error("body");
                return 7;
            },
            [&] {
                ++finished;
                if (c.finishRaises) throw std::runtime_error("finish");
            });
    } catch (const std::runtime_error& e) {
        caught = e.what();
    }
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(caught, c.expected ? c.expected : "");
    EXPECT_EQ(result, c.expected ? 0 : 7);
}

INSTANTIATE_TEST_SUITE_P(Exits, RunThenCases,
                         ::testing::Values(Case{"clean", false, false, nullptr},
                                           Case{"bodyRaises", true, false, "body"},
                                           Case{"finishRaises", false, true, "finish"},
                                           Case{"bothRaise", true, true, "finish"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RunThen, VoidBodyAndReferenceResult) {
    int finished = 0;
    kp::RunThen([] {}, [&] { ++finished; });
    int value = 1;
    int& same = kp::RunThen([&]() -> int& { return value; }, [&] { ++finished; });
    EXPECT_EQ(&same, &value);
    EXPECT_EQ(finished, 2);
}

} // namespace
