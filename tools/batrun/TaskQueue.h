#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace tova {

// Threads that take tasks in the order they were handed in. With one thread the tasks run one after
// the other in that order. The destructor lets every task handed in finish.
class TaskQueue {
public:
    explicit TaskQueue(unsigned threads);
    ~TaskQueue();
    TaskQueue(const TaskQueue&) = delete;
    TaskQueue& operator=(const TaskQueue&) = delete;

    std::shared_future<void> submit(std::function<void()> task);
    unsigned threads() const { return unsigned(threads_.size()); }

private:
    void work();

    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::packaged_task<void()>> tasks_;
    bool closing_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace tova
