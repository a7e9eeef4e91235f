#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Defaults/PropertyList.h"
#include "Platform/Observation/Subscription.h"

namespace vorela {

// A key-value store shared by the user's devices through a cloud service. Reads and
// writes touch this device's copy at once; synchronize() asks for the exchange with the
// service, which happens later. Changes that come from the service (another device, the
// first sync, a rejected upload) are announced to the observers. Linux builds have no
// such store: only the fake implements it.
class CloudKeyValueStore {
public:
    enum class ChangeReason {
        serverChange,
        initialSyncChange,
        quotaViolationChange,
        accountChange
    };
    struct ExternalChange {
        ChangeReason reason = ChangeReason::serverChange;
        // The entries that changed; nothing when the announcement names none (a quota
        // violation or an account change).
        std::optional<std::vector<std::string>> changedKeys;
    };
    using ExternalChangeObserver = std::function<void(const ExternalChange&)>;

    virtual ~CloudKeyValueStore() = default;

    virtual std::optional<PropertyList> object(const std::string& key) const = 0;
    virtual void set(const std::string& key, PropertyList value) = 0;
    virtual void remove(const std::string& key) = 0;
    // Whether the request was taken; the exchange itself comes later.
    virtual bool synchronize() = 0;
    [[nodiscard]] virtual Subscription observeExternalChanges(ExternalChangeObserver observer) = 0;
};

}  // namespace vorela
