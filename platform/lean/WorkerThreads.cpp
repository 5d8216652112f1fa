#include "platform/lean/WorkerThreads.h"

namespace tova::lean {

unsigned WorkerThreads::cores() {
    const unsigned n = std::thread::hardware_concurrency();
    return n > 0 ? n : 1;
}

WorkerThreads::WorkerThreads(unsigned count) : count_(count > 0 ? count : cores()) { threads_.reserve(count_); }

WorkerThreads::~WorkerThreads() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        ending_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : threads_) t.join();
}

std::future<void> WorkerThreads::submit(std::function<void()> job) {
    // A job counts as finished before its future is ready, so one given after it finds its thread free.
    std::packaged_task<void()> task([this, job = std::move(job)] {
        struct Finished {
            WorkerThreads* workers;
            ~Finished() {
                std::lock_guard<std::mutex> guard(workers->lock_);
                --workers->busy_;
            }
        } finished{this};
        job();
    });
    std::future<void> done = task.get_future();
    bool start = false;
    {
        std::lock_guard<std::mutex> guard(lock_);
        jobs_.push_back(std::move(task));
        // Another thread while the jobs not finished outnumber the threads.
        start = jobs_.size() + busy_ > threads_.size() && threads_.size() < count_;
    }
    if (start) threads_.emplace_back([this] { work(); });
    wake_.notify_one();
    return done;
}

void WorkerThreads::work() {
    for (;;) {
        std::packaged_task<void()> task;
        {
            std::unique_lock<std::mutex> guard(lock_);
            wake_.wait(guard, [this] { return ending_ || !jobs_.empty(); });
            if (jobs_.empty()) return;
            ++busy_;
            task = std::move(jobs_.front());
            jobs_.pop_front();
        }
        task();
    }
}

}  // namespace tova::lean
