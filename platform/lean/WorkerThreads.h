#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace tova::lean {

// Up to a fixed number of threads that run jobs in the order given (one thread: one after the other,
// in that order), for the notes an in-process render or the batch runner hands out. A thread is started when the jobs not finished outnumber the threads, so a render with
// one note to make starts one. A job's exception reaches whoever waits on its future. The destructor
// lets the jobs already given finish and then ends the threads.
class WorkerThreads {
public:
    // One thread per core (at least one) unless told otherwise.
    explicit WorkerThreads(unsigned count = 0);
    ~WorkerThreads();
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    // The jobs that can run at once.
    unsigned count() const { return count_; }
    std::future<void> submit(std::function<void()> job);

    static unsigned cores();

private:
    void work();

    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<std::packaged_task<void()>> jobs_;
    bool ending_ = false;
    unsigned count_ = 0;
    std::size_t busy_ = 0;  // jobs taken by a thread and not yet finished
    std::vector<std::thread> threads_;
};

}  // namespace tova::lean
