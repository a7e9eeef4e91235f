#pragma once

#include <QWidget>

namespace vorela {

// Step 3: the four keys needed while reading and the advice on sharing a window. The key
// texts are fixed; they do not follow re-recorded shortcuts.
class ReadyStep final : public QWidget {
    Q_OBJECT

public:
    explicit ReadyStep(QWidget* parent = nullptr);
};

}  // namespace vorela
