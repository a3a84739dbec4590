#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace qf {

// Runs `work(i)` for every i below `count`, on as many threads as the
// machine has cores (this one among them), each taking the next index; the
// first failure stops the rest and is thrown again here. `work` must be safe
// to run on several threads at once.
inline void OnEveryCore(std::size_t count, const std::function<void(std::size_t)>& work) {
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::mutex failure_lock;
    std::exception_ptr failure;
    auto run = [&] {
        for (std::size_t index = next++; index < count && !failed; index = next++) {
            try {
                work(index);
            } catch (...) {
                const std::lock_guard<std::mutex> lock(failure_lock);
                if (!failure) {
                    failure = std::current_exception();
                }
                failed = true;
            }
        }
    };
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> threads;
    for (unsigned i = 1; i < cores && i < count; ++i) {
        threads.emplace_back(run);
    }
    run();
    for (std::thread& thread : threads) {
        thread.join();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

} // namespace qf
