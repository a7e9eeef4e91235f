#include "Prefs/Qt/PrefsToggle.h"

#include <QSignalBlocker>

namespace vorela::Prefs {

PrefsToggle::PrefsToggle(RunLoop& loop, const Key<bool>& key, const QString& title, bool inverted,
                         QWidget* parent)
    : QCheckBox(title, parent), observable_(loop, key) {
    binding_ = binding(observable_);
    if (inverted) binding_ = binding_.toggled();
    refresh();
    connect(this, &QCheckBox::toggled, this, [this](bool on) { binding_.set(on); });
    changes_ = observable_.onChange([this] {
        refresh();
        if (onChange_) onChange_(binding_.get());
    });
}

PrefsToggle& PrefsToggle::onChange(std::function<void(bool)> callback) {
    onChange_ = std::move(callback);
    return *this;
}

void PrefsToggle::refresh() {
    const QSignalBlocker blocker(this);
    setChecked(binding_.get());
}

}  // namespace vorela::Prefs
