#include "Platform/Defaults/SuiteObservers.h"

#include <algorithm>

namespace vorela {

struct SuiteObservers::Entry {
    std::optional<std::string> key;
    bool wantsPrior = false;
    Callback callback;
    std::mutex mutex;
    std::condition_variable idle;
    bool isActive = true;        // guarded by mutex
    std::size_t deliveries = 0;  // guarded by mutex: deliveries running on any thread

    bool matches(const SuiteChange& change) const {
        return (!key || *key == change.key) && (!change.isPrior || wantsPrior);
    }
};

namespace {

// The entries whose callbacks run on this thread now, innermost last: an observer
// cancelled from inside its own delivery must not wait for itself.
thread_local std::vector<const void*> deliveringHere;

}  // namespace

Subscription SuiteObservers::add(std::optional<std::string> key, bool wantsPrior,
                                 Callback callback) {
    auto entry = std::make_shared<Entry>();
    entry->key = std::move(key);
    entry->wantsPrior = wantsPrior;
    entry->callback = std::move(callback);
    {
        std::lock_guard lock(state_->mutex);
        auto next = std::make_shared<Entries>(*state_->entries);
        next->push_back(entry);
        state_->entries = std::move(next);
    }
    return Subscription(
        [weakState = std::weak_ptr<State>(state_), weakEntry = std::weak_ptr<Entry>(entry)] {
            auto e = weakEntry.lock();
            if (!e) return;
            cancel(e);
            if (auto state = weakState.lock()) {
                std::lock_guard lock(state->mutex);
                auto next = std::make_shared<Entries>(*state->entries);
                std::erase(*next, e);
                state->entries = std::move(next);
            }
        });
}

void SuiteObservers::cancel(const std::shared_ptr<Entry>& entry) {
    std::unique_lock lock(entry->mutex);
    entry->isActive = false;
    const auto own = static_cast<std::size_t>(
        std::count(deliveringHere.begin(), deliveringHere.end(), entry.get()));
    entry->idle.wait(lock, [&] { return entry->deliveries <= own; });
}

std::shared_ptr<const SuiteObservers::Entries> SuiteObservers::snapshot() const {
    std::lock_guard lock(state_->mutex);
    return state_->entries;
}

bool SuiteObservers::wantsPrior(const std::string& key) const {
    const auto entries = snapshot();
    return std::any_of(entries->begin(), entries->end(),
                       [&](const auto& e) { return e->wantsPrior && (!e->key || *e->key == key); });
}

void SuiteObservers::notify(const SuiteChange& change) const {
    const auto entries = snapshot();
    for (const auto& e : *entries) {
        if (!e->matches(change)) continue;
        {
            std::lock_guard lock(e->mutex);
            if (!e->isActive) continue;
            ++e->deliveries;
        }
        deliveringHere.push_back(e.get());
        e->callback(change);
        deliveringHere.pop_back();
        {
            std::lock_guard lock(e->mutex);
            --e->deliveries;
        }
        e->idle.notify_all();
    }
}

}  // namespace vorela
