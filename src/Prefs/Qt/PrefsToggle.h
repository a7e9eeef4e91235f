#pragma once

#include <QCheckBox>
#include <functional>

#include "Prefs/Observable.h"

namespace vorela::Prefs {

// A switch bound to a Boolean key, optionally inverted (it then shows and writes the
// negation). It follows the stored value whoever changes it; the onChange callback
// receives each new state the switch shows.
class PrefsToggle final : public QCheckBox {
public:
    PrefsToggle(RunLoop& loop, const Key<bool>& key, const QString& title, bool inverted = false,
                QWidget* parent = nullptr);

    PrefsToggle& onChange(std::function<void(bool)> callback);

private:
    void refresh();

    Observable<bool> observable_;
    Binding<bool> binding_;
    std::function<void(bool)> onChange_;
    Subscription changes_;
};

}  // namespace vorela::Prefs
