#include "render/RenderWorkers.h"

namespace tova {

unsigned RenderWorkers::cores() {
    const unsigned n = std::thread::hardware_concurrency();
    return n > 0 ? n : 1;
}

RenderWorkers::RenderWorkers(unsigned count) {
    if (count == 0) count = cores();
    threads_.reserve(count);
    for (unsigned i = 0; i < count; ++i) threads_.emplace_back([this] { work(); });
}

RenderWorkers::~RenderWorkers() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        ending_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : threads_) t.join();
}

std::future<void> RenderWorkers::submit(std::function<void()> job) {
    std::packaged_task<void()> task(std::move(job));
    std::future<void> done = task.get_future();
    {
        std::lock_guard<std::mutex> guard(lock_);
        jobs_.push_back(std::move(task));
    }
    wake_.notify_one();
    return done;
}

void RenderWorkers::work() {
    for (;;) {
        std::packaged_task<void()> task;
        {
            std::unique_lock<std::mutex> guard(lock_);
            wake_.wait(guard, [this] { return ending_ || !jobs_.empty(); });
            if (jobs_.empty()) return;
            task = std::move(jobs_.front());
            jobs_.pop_front();
        }
        task();
    }
}

}  // namespace tova
