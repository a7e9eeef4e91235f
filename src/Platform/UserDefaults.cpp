#include "Platform/UserDefaults.h"

#include <atomic>
#include <utility>
#include <vector>

namespace vorela {

namespace {

// A suite kept in memory: the stored entries, the registration domain and the
// observers, each behind a lock. Observers run after the lock is released so that
// they may read or write the suite themselves.
class MemoryDefaults final : public UserDefaults {
public:
    MemoryDefaults() = default;
    ~MemoryDefaults() override = default;
    MemoryDefaults(const MemoryDefaults&) = delete;
    MemoryDefaults& operator=(const MemoryDefaults&) = delete;
    MemoryDefaults(MemoryDefaults&&) = delete;
    MemoryDefaults& operator=(MemoryDefaults&&) = delete;

    std::optional<PropertyList> object(const std::string& key) const override {
        std::lock_guard lock(mutex_);
        if (auto it = stored_.find(key); it != stored_.end()) return it->second;
        if (auto it = registered_.find(key); it != registered_.end()) return it->second;
        return std::nullopt;
    }

    void set(const std::string& key, PropertyList value) override {
        if (value.isNull()) {
            remove(key);
            return;
        }
        std::optional<PropertyList> old;
        {
            std::lock_guard lock(mutex_);
            auto it = stored_.find(key);
            if (it != stored_.end()) {
                if (it->second == value) return;
                old = std::exchange(it->second, value);
            } else {
                stored_.emplace(key, value);
            }
        }
        notify(key, old, std::optional<PropertyList>(std::move(value)));
    }

    void remove(const std::string& key) override {
        std::optional<PropertyList> old;
        {
            std::lock_guard lock(mutex_);
            auto it = stored_.find(key);
            if (it == stored_.end()) return;
            old = std::move(it->second);
            stored_.erase(it);
        }
        notify(key, old, std::nullopt);
    }

    void registerDefaults(const PlistDictionary& defaults) override {
        std::lock_guard lock(mutex_);
        for (const auto& [key, value] : defaults) registered_[key] = value;
    }

    PlistDictionary dictionaryRepresentation() const override {
        std::lock_guard lock(mutex_);
        PlistDictionary merged = registered_;
        for (const auto& [key, value] : stored_) merged[key] = value;
        return merged;
    }

    void removeAll() override {
        for (const auto& entry : dictionaryRepresentation()) remove(entry.first);
    }

    Subscription observe(ChangeObserver observer) override {
        auto entry = std::make_shared<ObserverEntry>();
        entry->callback = std::move(observer);
        {
            std::lock_guard lock(observersMutex_);
            observers_.push_back(entry);
        }
        std::weak_ptr<ObserverState> weakState = observerState_;
        std::weak_ptr<ObserverEntry> weakEntry = entry;
        return Subscription([weakState, weakEntry] {
            auto e = weakEntry.lock();
            if (!e) return;
            e->active = false;
            if (auto state = weakState.lock()) state->remove(e);
        });
    }

private:
    struct ObserverEntry {
        ChangeObserver callback;
        std::atomic<bool> active = true;
    };
    // Lets a subscription that outlives the suite cancel safely.
    struct ObserverState {
        explicit ObserverState(MemoryDefaults* owner) : owner(owner) {}
        void remove(const std::shared_ptr<ObserverEntry>& entry) {
            std::lock_guard lock(owner->observersMutex_);
            std::erase(owner->observers_, entry);
        }
        MemoryDefaults* owner = nullptr;
    };

    void notify(const std::string& key, const std::optional<PropertyList>& oldValue,
                const std::optional<PropertyList>& newValue) {
        std::vector<std::shared_ptr<ObserverEntry>> snapshot;
        {
            std::lock_guard lock(observersMutex_);
            snapshot = observers_;
        }
        for (const auto& e : snapshot) {
            if (e->active) e->callback(key, oldValue, newValue);
        }
    }

    mutable std::mutex mutex_;
    PlistDictionary stored_;
    PlistDictionary registered_;
    std::mutex observersMutex_;
    std::vector<std::shared_ptr<ObserverEntry>> observers_;
    std::shared_ptr<ObserverState> observerState_ = std::make_shared<ObserverState>(this);
};

std::mutex& standardMutex() {
    static std::mutex m;
    return m;
}

std::shared_ptr<UserDefaults>& standardSlot() {
    static std::shared_ptr<UserDefaults> s;
    return s;
}

}  // namespace

std::shared_ptr<UserDefaults> UserDefaults::standard() {
    std::lock_guard lock(standardMutex());
    auto& slot = standardSlot();
    if (!slot) slot = inMemory();
    return slot;
}

void UserDefaults::setStandard(std::shared_ptr<UserDefaults> suite) {
    std::lock_guard lock(standardMutex());
    standardSlot() = std::move(suite);
}

std::shared_ptr<UserDefaults> UserDefaults::suite(const std::string& name) {
    if (name.empty()) return nullptr;
    return inMemory();
}

std::shared_ptr<UserDefaults> UserDefaults::open(const std::string&) {
    return inMemory();
}

std::shared_ptr<UserDefaults> UserDefaults::inMemory() {
    return std::make_shared<MemoryDefaults>();
}

std::optional<bool> UserDefaults::boolean(const std::string& key) const {
    auto value = object(key);
    if (!value || !value->boolean()) return std::nullopt;
    return *value->boolean();
}

std::optional<std::string> UserDefaults::string(const std::string& key) const {
    auto value = object(key);
    if (!value || !value->string()) return std::nullopt;
    return *value->string();
}

}  // namespace vorela
