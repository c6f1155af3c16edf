// Channels insert from their worker threads at the same time, each on its own
// connections; the security library shares connection 0 with the main thread.
#include <set>
#include <thread>

#include "DataAccessFixture.h"

namespace datest {
namespace {

constexpr int kRowsPerThread = 150;

void InsertRows(int32_t h, int thread, int* inserted) {
    const char* names[] = {"ID", "NAME"};
    for (int i = 0; i < kRowsPerThread; ++i) {
        const std::string id = std::to_string(thread * 10000 + i);
        const std::string name = "thread " + std::to_string(thread);
        const char* values[] = {id.c_str(), name.c_str()};
        if (InsertRecord(h, "SAMPLE", names, 2, values, 2, 1) == 1) ++*inserted;
    }
}

TEST_P(DataAccess, TwoThreadsOnTwoHandlesLoseNoRow) {
    int inserted[2] = {0, 0};
    int32_t handles[2] = {-1, -1};
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t)
        threads.emplace_back([&, t] {
            handles[t] = Connect();  // connecting concurrently as well
            InsertRows(handles[t], t, &inserted[t]);
            DisconnectDB(handles[t], 1);
        });
    for (auto& th : threads) th.join();
    EXPECT_NE(handles[0], handles[1]);
    EXPECT_EQ(inserted[0] + inserted[1], 2 * kRowsPerThread);
    EXPECT_EQ(CountRows(h_), 2 * kRowsPerThread);
}

TEST_P(DataAccess, TwoThreadsOnOneSharedHandleLoseNoRow) {
    int inserted[2] = {0, 0};
    std::thread a(InsertRows, h_, 1, &inserted[0]);
    std::thread b([&] {
        InsertRows(h_, 2, &inserted[1]);
    });
    // Meanwhile the shared handle also serves queries.
    for (int i = 0; i < 20; ++i) EXPECT_GE(CountRows(h_), 0);
    a.join();
    b.join();
    EXPECT_EQ(inserted[0] + inserted[1], 2 * kRowsPerThread);
    EXPECT_EQ(CountRows(h_, "NAME = 'thread 1'"), kRowsPerThread);
    EXPECT_EQ(CountRows(h_, "NAME = 'thread 2'"), kRowsPerThread);
}

}  // namespace
}  // namespace datest
