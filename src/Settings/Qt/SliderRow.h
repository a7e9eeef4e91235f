#pragma once

#include <QWidget>
#include <functional>
#include <string>

class QLabel;
class QSlider;

namespace vorela {

// A continuous slider over a closed range with its value text after it, as the settings
// rows show one. setValue() shows a value without reporting it: a value outside the range
// puts the knob at the nearer end while the text shows the value itself. Moving the
// knob reports the new value through onMoved.
class SliderRow final : public QWidget {
    Q_OBJECT

public:
    // `objectName` names the slider; its value text is named the same with "Value".
    SliderRow(const char* objectName, double minimum, double maximum, const char* format,
              std::string unit = {}, int valueWidthPoints = 62, QWidget* parent = nullptr);

    void setRange(double minimum, double maximum);
    void setValue(double value);
    void setOnMoved(std::function<void(double)> onMoved) { onMoved_ = std::move(onMoved); }
    // Replaces the printf format for values that need their own text.
    void setTextOf(std::function<std::string(double)> textOf) { textOf_ = std::move(textOf); }

    double minimum() const { return minimum_; }
    double maximum() const { return maximum_; }
    QSlider* slider() const { return slider_; }
    QLabel* valueLabel() const { return valueLabel_; }

private:
    double valueAt(int position) const;
    int positionOf(double value) const;
    void showText(double value);

    double minimum_ = 0;
    double maximum_ = 1;
    const char* format_ = "%.0f";
    std::string unit_;
    std::function<void(double)> onMoved_;
    std::function<std::string(double)> textOf_;
    QSlider* slider_ = nullptr;
    QLabel* valueLabel_ = nullptr;
};

}  // namespace vorela
