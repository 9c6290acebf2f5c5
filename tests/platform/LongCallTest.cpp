// Long calls beside a waiting caller: where the work runs, what the
// handler sees, and how errors of either side reach the caller.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "LongCall.h"

using namespace std::chrono_literals;

namespace {

plat::CallProgress Nothing() { return {}; }

}  // namespace

TEST(LongCall, WithoutAHandlerTheWorkRunsOnTheCallingThread) {
    std::thread::id worker;
    plat::RunLongCall([&] { worker = std::this_thread::get_id(); }, Nothing);
    EXPECT_EQ(worker, std::this_thread::get_id());
    EXPECT_THROW(plat::RunLongCall([] { throw std::runtime_error("disk full"); }, Nothing), std::runtime_error);
}

TEST(LongCall, TheHandlerFollowsTheWorkFromTheCallingThreadUntilItEnds) {
    std::atomic<uint64_t> done{0};
    std::vector<plat::CallProgress> seen;
    std::thread::id worker, handlerThread;
    plat::CallWaitScope waiting([&](const plat::CallProgress& p) {
        handlerThread = std::this_thread::get_id();
        seen.push_back(p);
    });
    plat::RunLongCall(
        [&] {
            worker = std::this_thread::get_id();
            for (int i = 0; i < 10; ++i, ++done) std::this_thread::sleep_for(20ms);
        },
        [&] { return plat::CallProgress{done.load(), 10}; }, 30ms);
    EXPECT_NE(worker, std::this_thread::get_id());
    EXPECT_EQ(handlerThread, std::this_thread::get_id());
    ASSERT_GE(seen.size(), 2u);
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].Total, 10u);
        EXPECT_LE(seen[i].Done, 10u);
        if (i > 0) EXPECT_GE(seen[i].Done, seen[i - 1].Done);
    }
    EXPECT_LT(seen.front().Done, 10u) << "called while the work ran";
}

TEST(LongCall, ErrorsOfTheWorkAndOfTheHandlerReachTheCallerAfterTheWorkEnded) {
    int handlerCalls = 0;
    plat::CallWaitScope waiting([&](const plat::CallProgress&) {
        ++handlerCalls;
        throw std::logic_error("handler failed");
    });
    std::atomic<bool> finished{false};
    try {
        plat::RunLongCall([&] { std::this_thread::sleep_for(150ms); finished = true; }, Nothing, 10ms);
        ADD_FAILURE() << "the handler's error was lost";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "handler failed");
    }
    EXPECT_TRUE(finished) << "the worker was abandoned";
    EXPECT_EQ(handlerCalls, 1) << "a handler that failed is not called again";

    // The work's error comes first when both fail.
    EXPECT_THROW(plat::RunLongCall([] { std::this_thread::sleep_for(50ms); throw std::runtime_error("disk full"); },
                                   Nothing, 10ms),
                 std::runtime_error);
}

TEST(LongCall, ACallFromInsideTheHandlerWaitsWithoutOneAndScopesRestoreTheirPredecessor) {
    int outerCalls = 0, innerCalls = 0;
    std::thread::id nestedWorker;
    plat::CallWaitScope outer([&](const plat::CallProgress&) { ++outerCalls; });
    {
        plat::CallWaitScope inner([&](const plat::CallProgress&) {
            if (innerCalls++ == 0) plat::RunLongCall([&] { nestedWorker = std::this_thread::get_id(); }, Nothing);
        });
        plat::RunLongCall([] { std::this_thread::sleep_for(60ms); }, Nothing, 10ms);
    }
    EXPECT_GE(innerCalls, 1);
    EXPECT_EQ(nestedWorker, std::this_thread::get_id()) << "the nested call ran inside the handler, without a worker";
    EXPECT_EQ(outerCalls, 0);
    plat::RunLongCall([] { std::this_thread::sleep_for(60ms); }, Nothing, 10ms);
    EXPECT_GE(outerCalls, 1) << "the outer handler is back after the inner scope";
}
