#include "tools/quizpack/parallel.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

void runInParallel(size_t count, const std::function<void(size_t)>& work,
                   const std::function<void(size_t)>& done, unsigned threads) {
    if (threads == 0) {
        threads = std::thread::hardware_concurrency();
    }
    if (threads == 0)
        threads = 1;
    if (threads > count)
        threads = static_cast<unsigned>(count);

    enum State : char { kPending, kFinished, kFailed, kSkipped };
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<State> states(count, kPending);
    std::vector<std::exception_ptr> failures(count);
    std::atomic<size_t> next{0};
    std::atomic<bool> stop{false};

    // Every index is claimed by exactly one worker and ends finished, failed or skipped,
    // so the waiting loop below always wakes up.
    auto worker = [&] {
        for (size_t i = next++; i < count; i = next++) {
            State state = kSkipped;
            std::exception_ptr failure;
            if (!stop) {
                try {
                    work(i);
                    state = kFinished;
                } catch (...) {
                    failure = std::current_exception();
                    state = kFailed;
                    stop = true;
                }
            }
            std::lock_guard<std::mutex> lock(mutex);
            states[i] = state;
            failures[i] = failure;
            changed.notify_all();
        }
    };
    std::vector<std::thread> pool;
    for (unsigned t = 0; t < threads; ++t) {
        pool.emplace_back(worker);
    }

    std::exception_ptr doneFailure;
    for (size_t i = 0; i < count; ++i) {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return states[i] != kPending; });
        if (states[i] != kFinished) {
            break;
        }
        lock.unlock();
        try {
            done(i);
        } catch (...) {
            doneFailure = std::current_exception();
            stop = true;
            break;
        }
    }
    for (std::thread& t : pool) {
        t.join();
    }
    for (size_t i = 0; i < count; ++i) {
        if (failures[i]) {
            std::rethrow_exception(failures[i]);
        }
    }
    if (doneFailure) {
        std::rethrow_exception(doneFailure);
    }
}
