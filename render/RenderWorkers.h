#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace tova {

// A fixed set of threads that run jobs in the order given, for the notes an in-process render hands
// out. A job's exception reaches whoever waits on its future. The destructor lets the jobs already
// given finish and then ends the threads.
class RenderWorkers {
public:
    // One thread per core (at least one) unless told otherwise.
    explicit RenderWorkers(unsigned count = 0);
    ~RenderWorkers();
    RenderWorkers(const RenderWorkers&) = delete;
    RenderWorkers& operator=(const RenderWorkers&) = delete;

    unsigned count() const { return unsigned(threads_.size()); }
    std::future<void> submit(std::function<void()> job);

    static unsigned cores();

private:
    void work();

    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<std::packaged_task<void()>> jobs_;
    bool ending_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace tova
