#pragma once

#include <memory>

#include "Prefs/AnyKey.h"

namespace vorela::Prefs {

// Keeps a key's entry in its suite and in a cloud key-value store in step. Linux builds
// have no cloud store, so the shared synchroniser does nothing unless one is installed.
// A key made with the cloud flag hands itself over after registering its default; the
// synchroniser may keep the reference (keys live for the whole process).
class CloudSync {
public:
    CloudSync() = default;
    virtual ~CloudSync() = default;
    CloudSync(const CloudSync&) = delete;
    CloudSync& operator=(const CloudSync&) = delete;
    CloudSync(CloudSync&&) = delete;
    CloudSync& operator=(CloudSync&&) = delete;

    // Hands each key over, in order.
    template <class... Keys>
    void add(const Keys&... keys) {
        (addKey(keys), ...);
    }

    virtual void addKey(const AnyKey& key) = 0;
};

// The one shared synchroniser.
CloudSync& cloud();
// Installs another synchroniser (a fake in tests); returns the previous one.
std::shared_ptr<CloudSync> setCloud(std::shared_ptr<CloudSync> sync);

}  // namespace vorela::Prefs
