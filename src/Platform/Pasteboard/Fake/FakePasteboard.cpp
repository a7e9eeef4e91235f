#include "Platform/Pasteboard/Fake/FakePasteboard.h"

namespace vorela {

std::optional<std::string> FakePasteboard::string() const {
    ++readCount_;
    return text_;
}

}  // namespace vorela
