#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vorela {

// The spoken forms of a number in a script, sorted and distinct. Every occurrence of the
// same number shares one list, and a word without digits holds none: a long script's
// words are held as long as it is loaded, and most are not numbers.
class SpokenVariants {
public:
    using const_iterator = std::vector<std::string>::const_iterator;
    using iterator = const_iterator;

    SpokenVariants() = default;
    // Implicit, so that a list converts where one is expected.
    SpokenVariants(std::vector<std::string> forms)  // NOLINT(google-explicit-constructor)
        : list_(forms.empty()
                    ? nullptr
                    : std::make_shared<const std::vector<std::string>>(std::move(forms))) {}

    const std::vector<std::string>& list() const { return list_ ? *list_ : none(); }
    bool empty() const { return !list_; }
    std::size_t size() const { return list().size(); }
    const_iterator begin() const { return list().begin(); }
    const_iterator end() const { return list().end(); }
    const std::string& operator[](std::size_t i) const { return list()[i]; }

    friend bool operator==(const SpokenVariants& a, const SpokenVariants& b) {
        return a.list_ == b.list_ || a.list() == b.list();
    }

private:
    static const std::vector<std::string>& none() {
        static const std::vector<std::string> empty;
        return empty;
    }
    std::shared_ptr<const std::vector<std::string>> list_;
};

}  // namespace vorela
