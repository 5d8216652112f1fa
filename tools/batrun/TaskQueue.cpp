#include "tools/batrun/TaskQueue.h"

namespace tova {

TaskQueue::TaskQueue(unsigned threads) {
    for (unsigned i = 0; i < (threads ? threads : 1); ++i) threads_.emplace_back([this] { work(); });
}

TaskQueue::~TaskQueue() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    ready_.notify_all();
    for (std::thread& t : threads_) t.join();
}

std::shared_future<void> TaskQueue::submit(std::function<void()> task) {
    std::packaged_task<void()> packaged(std::move(task));
    std::shared_future<void> done = packaged.get_future().share();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        tasks_.push_back(std::move(packaged));
    }
    ready_.notify_one();
    return done;
}

void TaskQueue::work() {
    for (;;) {
        std::packaged_task<void()> task;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            ready_.wait(lock, [this] { return closing_ || !tasks_.empty(); });
            if (tasks_.empty()) return;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}

}  // namespace tova
