// The threads that run notes side by side: started as the jobs need them, up to their number.
#include "platform/lean/WorkerThreads.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

namespace tova {
namespace {

// As many jobs as there are workers, each waiting for all the others to start: they run at once, so
// each finds the others (a pool that kept fewer threads would leave some waiting until the time-out).
TEST(WorkerThreadsTest, AsManyJobsAsWorkersRunAtOnce) {
    for (unsigned count : {1u, 2u, 5u}) {
        SCOPED_TRACE(count);
        lean::WorkerThreads workers(count);
        EXPECT_EQ(workers.count(), count);
        std::mutex lock;
        std::condition_variable arrived;
        unsigned started = 0;
        std::vector<std::future<void>> jobs;
        for (unsigned i = 0; i < count; ++i)
            jobs.push_back(workers.submit([&] {
                std::unique_lock<std::mutex> guard(lock);
                ++started;
                arrived.notify_all();
                if (!arrived.wait_for(guard, std::chrono::seconds(20), [&] { return started == count; }))
                    throw std::runtime_error("the other jobs did not start");
            }));
        for (auto& job : jobs) EXPECT_NO_THROW(job.get());
    }
}

// Jobs given one at a time, each finished before the next, need one thread; a job's exception reaches
// its future, and jobs given before the workers go are finished first.
TEST(WorkerThreadsTest, OneJobAtATimeTakesOneThreadAndEveryJobIsDone) {
    std::set<std::thread::id> threads;
    std::vector<std::future<void>> left;
    int done = 0;
    {
        lean::WorkerThreads workers(4);
        for (int i = 0; i < 5; ++i) workers.submit([&] { threads.insert(std::this_thread::get_id()); }).get();
        EXPECT_EQ(threads.size(), 1u);
        EXPECT_THROW(workers.submit([] { throw std::runtime_error("failed"); }).get(), std::runtime_error);
        for (int i = 0; i < 3; ++i)
            left.push_back(workers.submit([&done] {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                static std::mutex m;
                std::lock_guard<std::mutex> guard(m);
                ++done;
            }));
    }
    EXPECT_EQ(done, 3);
    for (auto& job : left) EXPECT_NO_THROW(job.get());
}

}  // namespace
}  // namespace tova
