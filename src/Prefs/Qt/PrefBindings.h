#pragma once

#include <QAbstractSlider>
#include <QObject>
#include <QSignalBlocker>
#include <cmath>
#include <memory>

#include "Prefs/Observable.h"

namespace vorela::Prefs {

// Binds a slider to a numeric key: the slider shows the stored value (times `scale`,
// rounded) and follows it whoever changes it; moving the slider writes the key once. A
// stored value outside the slider's range is shown at the end it passes and is never
// rewritten by the binding. The binding lives as long as the slider.
template <Serializable T>
void bindSlider(QAbstractSlider* slider, RunLoop& loop, const Key<T>& key, double scale = 1.0) {
    struct Holder : QObject {
        Holder(QObject* parent, RunLoop& loop, const Key<T>& key)
            : QObject(parent), observable(loop, key) {}
        Observable<T> observable;
        Subscription changes;
    };
    auto* holder = new Holder(slider, loop, key);
    auto refresh = [slider, holder, scale] {
        const QSignalBlocker blocker(slider);
        slider->setValue(
            static_cast<int>(std::lround(static_cast<double>(holder->observable.value()) * scale)));
    };
    refresh();
    holder->changes = holder->observable.onChange(refresh);
    QObject::connect(slider, &QAbstractSlider::valueChanged, holder, [holder, scale](int v) {
        holder->observable.setValue(static_cast<T>(v / scale));
    });
}

}  // namespace vorela::Prefs
