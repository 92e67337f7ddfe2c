#pragma once
// Work on many reports at once: workers each with their own copy of the application (the
// module check writes into the rule base), results handed on in input order.

#include "app/application.hpp"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace qx::cli {

/// More workers than this only add memory (each holds its own rule base).
inline constexpr unsigned kMaxWorkers = 64;

/// Runs `work` on every input with up to `jobs` workers and hands each result to `emit` in
/// input order as soon as its predecessors are done; `emit` returns false to stop (workers
/// finish the input they hold). Workers that cannot be started are done without; with none,
/// the inputs are worked on here, one after the other. `work` must not throw.
template <typename Result, typename Input>
void forEachInOrder(const Application& app, const std::vector<Input>& inputs, unsigned jobs,
                    const std::function<Result(Application&, const Input&)>& work,
                    const std::function<bool(Result&, std::size_t)>& emit) {
    std::vector<std::optional<Result>> results(inputs.size());
    std::mutex mutex;
    std::condition_variable ready;
    std::atomic<std::size_t> next{0};
    const unsigned wanted =
        std::min({std::max(1u, jobs), kMaxWorkers,
                  static_cast<unsigned>(std::min<std::size_t>(inputs.size(), kMaxWorkers))});
    std::vector<std::unique_ptr<Application>> apps;
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < wanted && inputs.size() > 1; ++t) {
        try {
            apps.push_back(std::make_unique<Application>(app.cloneForWorker()));
            threads.emplace_back([&, own = apps.back().get()] {
                for (std::size_t i; (i = next++) < inputs.size();) {
                    Result r = work(*own, inputs[i]);
                    std::lock_guard lock(mutex);
                    results[i] = std::move(r);
                    ready.notify_all();
                }
            });
        } catch (const std::exception&) {
            // No memory or no thread for another worker: go on with those that started.
            if (apps.size() > threads.size()) apps.pop_back();
            break;
        }
    }
    std::optional<Application> here;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        std::optional<Result> r;
        if (threads.empty()) {
            if (!here) here.emplace(app.cloneForWorker());
            r.emplace(work(*here, inputs[i]));
        } else {
            std::unique_lock lock(mutex);
            ready.wait(lock, [&] { return results[i].has_value(); });
            r = std::move(results[i]);
            results[i].reset();
        }
        if (!emit(*r, i)) {
            next = inputs.size();
            break;
        }
    }
    for (auto& t : threads) t.join();
}

}  // namespace qx::cli
