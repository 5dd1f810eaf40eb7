#pragma once

#include <string>
#include <utility>
#include <variant>

namespace vorelle {

// Why an operation of a store (the record store, the history) failed:
// SQLite's own message, or the store's when it refused the input itself. The
// stores show nothing: a caller that tells the user shows this text once.
struct StoreError {
    std::string text;
};

// A value, or the reason there is none.
template <typename T>
class [[nodiscard]] StoreResult {
public:
    StoreResult(T value) : state_(std::move(value)) {}
    StoreResult(StoreError error) : state_(std::move(error)) {}

    bool Ok() const { return state_.index() == 0; }
    explicit operator bool() const { return Ok(); }

    // Only when Ok().
    T& Value() { return std::get<0>(state_); }
    const T& Value() const { return std::get<0>(state_); }
    T* operator->() { return &Value(); }
    const T* operator->() const { return &Value(); }

    // Only when not Ok().
    const std::string& Error() const { return std::get<1>(state_).text; }
    StoreError TakeError() { return std::move(std::get<1>(state_)); }

private:
    std::variant<T, StoreError> state_;
};

// What an operation that gives no value hands back when it succeeded.
struct StoreDone {};
using StoreStatus = StoreResult<StoreDone>;

}  // namespace vorelle
