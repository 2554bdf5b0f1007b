// Tests of WorkInOrder: the work of every item, the results taken in order, and failures.
#include "text/OrderedWork.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace quirebook {
namespace {

// Later items finish first (the first ones sleep longest), yet each is taken in its turn, after
// its own work.
TEST(WorkInOrder, TakesEveryResultInOrderWhateverFinishesFirst) {
    for (const unsigned jobs : {1u, 2u, 4u, 64u}) {
        constexpr std::size_t kCount = 40;
        std::vector<int> results(kCount, 0);
        std::vector<std::size_t> taken;
        std::atomic<int> running{0};
        std::atomic<int> mostRunning{0};
        WorkInOrder(
            kCount, jobs,
            [&](std::size_t i) {
                const int now = ++running;
                for (int most = mostRunning;
                     now > most && !mostRunning.compare_exchange_weak(most, now);) {
                }
                std::this_thread::sleep_for(std::chrono::microseconds(i < 4 ? 20000 : 50));
                results[i] = static_cast<int>(i) * 3;
                --running;
            },
            [&](std::size_t i) {
                EXPECT_EQ(results[i], static_cast<int>(i) * 3) << "taken before its work ended";
                taken.push_back(i);
            });
        std::vector<std::size_t> expected(kCount);
        for (std::size_t i = 0; i < kCount; ++i) expected[i] = i;
        EXPECT_EQ(taken, expected) << jobs << " jobs";
        EXPECT_LE(mostRunning.load(), static_cast<int>(jobs));
        if (jobs > 1) {
            EXPECT_GT(mostRunning.load(), 1) << "the items were not worked on side by side";
        }
    }
    int calls = 0;
    WorkInOrder(
        0, 4, [&](std::size_t) { ++calls; }, [&](std::size_t) { ++calls; });
    EXPECT_EQ(calls, 0);
}

// A failing item raises in its turn: every earlier item is taken, no later one.
TEST(WorkInOrder, RaisesAFailureInItsTurnAfterTheEarlierItems) {
    for (const unsigned jobs : {1u, 3u}) {
        std::vector<std::size_t> taken;
        EXPECT_THROW(WorkInOrder(
                         30, jobs,
                         [](std::size_t i) {
                             if (i == 7) throw std::runtime_error("item 7");
                         },
                         [&](std::size_t i) { taken.push_back(i); }),
                     std::runtime_error);
        EXPECT_EQ(taken, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 6})) << jobs << " jobs";
    }
    // A failure while taking a result stops the threads too.
    std::atomic<std::size_t> worked{0};
    EXPECT_THROW(WorkInOrder(
                     1000, 2,
                     [&](std::size_t) {
                         std::this_thread::sleep_for(std::chrono::microseconds(200));
                         ++worked;
                     },
                     [](std::size_t i) {
                         if (i == 2) throw std::logic_error("taking 2");
                     }),
                 std::logic_error);
    EXPECT_LT(worked.load(), 1000u);
}

}  // namespace
}  // namespace quirebook
