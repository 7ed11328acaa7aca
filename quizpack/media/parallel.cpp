#include "quizpack/media/parallel.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace {

unsigned workerCount(unsigned threads, size_t count) {
    if (threads == 0) {
        threads = std::thread::hardware_concurrency();
    }
    if (threads == 0)
        threads = 1;
    if (threads > count)
        threads = static_cast<unsigned>(count);
    return threads;
}

// The items' states, shared by the workers and the thread that hands finished items to
// `done` in order.
class ItemStates {
  public:
    explicit ItemStates(size_t count) : states_(count, kPending), failures_(count) {}

    // A worker's loop. Every index is claimed by exactly one worker and ends finished,
    // failed or skipped, so the waiting loop of finishInOrder always wakes up.
    void work(const std::function<void(size_t)>& work) {
        const size_t count = states_.size();
        for (size_t i = next_++; i < count; i = next_++) {
            State state = kSkipped;
            std::exception_ptr failure;
            if (!stop_) {
                try {
                    work(i);
                    state = kFinished;
                } catch (...) {
                    failure = std::current_exception();
                    state = kFailed;
                    stop_ = true;
                }
            }
            std::lock_guard<std::mutex> lock(mutex_);
            states_[i] = state;
            failures_[i] = failure;
            changed_.notify_all();
        }
    }

    // Calls `done` for each item in order as soon as it is finished; stops at the first
    // that failed or was skipped, or when `done` throws (returned).
    std::exception_ptr finishInOrder(const std::function<void(size_t)>& done) {
        for (size_t i = 0; i < states_.size(); ++i) {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return states_[i] != kPending; });
            if (states_[i] != kFinished) {
                break;
            }
            lock.unlock();
            try {
                done(i);
            } catch (...) {
                stop_ = true;
                return std::current_exception();
            }
        }
        return nullptr;
    }

    // Rethrows the failure of the first item that failed, if any; call after the join.
    void rethrowFirstFailure() const {
        for (const std::exception_ptr& failure : failures_) {
            if (failure) {
                std::rethrow_exception(failure);
            }
        }
    }

  private:
    enum State : char { kPending, kFinished, kFailed, kSkipped };
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<State> states_;
    std::vector<std::exception_ptr> failures_;
    std::atomic<size_t> next_{0};
    std::atomic<bool> stop_{false};
};

} // namespace

void runInParallel(size_t count, const std::function<void(size_t)>& work,
                   const std::function<void(size_t)>& done, unsigned threads) {
    ItemStates items(count);
    std::vector<std::thread> pool;
    for (unsigned t = 0, n = workerCount(threads, count); t < n; ++t) {
        pool.emplace_back([&] { items.work(work); });
    }
    const std::exception_ptr doneFailure = items.finishInOrder(done);
    for (std::thread& t : pool) {
        t.join();
    }
    items.rethrowFirstFailure();
    if (doneFailure) {
        std::rethrow_exception(doneFailure);
    }
}
