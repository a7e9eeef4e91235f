#pragma once

#include <utility>
#include <variant>

namespace vorela {

// A value or the error that replaced it; failures stay values, never exceptions.
template <class T, class E>
class Expected {
public:
    Expected(T value)
        : content_(std::in_place_index<0>, std::move(value)) {}  // NOLINT: implicit by design
    Expected(E error) : content_(std::in_place_index<1>, std::move(error)) {}  // NOLINT

    bool ok() const { return content_.index() == 0; }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return std::get<0>(content_); }
    T& value() & { return std::get<0>(content_); }
    T&& value() && { return std::get<0>(std::move(content_)); }
    const E& error() const { return std::get<1>(content_); }

private:
    std::variant<T, E> content_;
};

}  // namespace vorela
