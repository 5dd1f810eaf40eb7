#pragma once

#include <string>
#include <utility>
#include <variant>

namespace vorelle {

// Why an operation of the history failed: SQLite's own message, or the
// history's when it refused the input itself.
struct HistoryError {
    std::string text;
};

// A value, or the reason there is none.
template <typename T>
class [[nodiscard]] HistoryResult {
public:
    HistoryResult(T value) : state_(std::move(value)) {}
    HistoryResult(HistoryError error) : state_(std::move(error)) {}

    bool Ok() const { return state_.index() == 0; }
    explicit operator bool() const { return Ok(); }

    // Only when Ok().
    T& Value() { return std::get<0>(state_); }
    const T& Value() const { return std::get<0>(state_); }
    T* operator->() { return &Value(); }
    const T* operator->() const { return &Value(); }

    // Only when not Ok().
    const std::string& Error() const { return std::get<1>(state_).text; }
    HistoryError TakeError() { return std::move(std::get<1>(state_)); }

private:
    std::variant<T, HistoryError> state_;
};

// What an operation that gives no value hands back when it succeeded.
struct HistoryDone {};
using HistoryStatus = HistoryResult<HistoryDone>;

}  // namespace vorelle
