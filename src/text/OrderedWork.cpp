#include "text/OrderedWork.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace quirebook {

namespace {

// The threads of one WorkInOrder call and what they share. The destructor stops the handing out
// of items and waits for the threads, however the call ends.
class Workers {
  public:
    Workers(std::size_t count, unsigned jobs, const std::function<void(std::size_t)>& work)
        : work_(work), finished_(count), errors_(count) {
        threads_.reserve(jobs);
        for (unsigned k = 0; k < jobs; ++k) threads_.emplace_back([this] { Run(); });
    }
    ~Workers() {
        stop_ = true;
        for (std::thread& thread : threads_) thread.join();
    }
    Workers(const Workers&) = delete;
    Workers& operator=(const Workers&) = delete;

    // Waits for item i; raises what its work raised.
    void Await(std::size_t i) {
        std::unique_lock guard(lock_);
        changed_.wait(guard, [&] { return finished_[i] != 0; });
        if (errors_[i]) std::rethrow_exception(errors_[i]);
    }

  private:
    void Run() {
        // Items are handed out in increasing order, so every item before one handed out is
        // finished or being worked on: Await never waits for an item no thread will take.
        for (std::size_t i = next_++; i < finished_.size() && !stop_; i = next_++) {
            std::exception_ptr error;
            try {
                work_(i);
            } catch (...) {
                error = std::current_exception();
                stop_ = true;
            }
            {
                const std::lock_guard guard(lock_);
                errors_[i] = error;
                finished_[i] = 1;
            }
            changed_.notify_all();
        }
    }

    const std::function<void(std::size_t)>& work_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::vector<char> finished_;
    std::vector<std::exception_ptr> errors_;
    std::atomic<std::size_t> next_{0};
    std::atomic<bool> stop_{false};
    std::vector<std::thread> threads_;
};

}  // namespace

unsigned CoreCount() {
    return std::max(1u, std::thread::hardware_concurrency());
}

void WorkInOrder(std::size_t count, unsigned jobs, const std::function<void(std::size_t)>& work,
                 const std::function<void(std::size_t)>& done) {
    if (jobs <= 1 || count <= 1) {
        for (std::size_t i = 0; i < count; ++i) {
            work(i);
            done(i);
        }
        return;
    }
    Workers workers(count, static_cast<unsigned>(std::min<std::size_t>(jobs, count)), work);
    for (std::size_t i = 0; i < count; ++i) {
        workers.Await(i);
        done(i);
    }
}

}  // namespace quirebook
