#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

// Failures that are not the register's: a file, a setting or a program that could not be used.
// They travel as values to the caller, who decides whether the operator sees them.
namespace merovan::common {

// Why something could not be done, in plain words (UTF-8) ready for the log or a message box:
// the call or the file, and the operating system's own text.
struct Error {
    std::string what;
};

// A value, or the Error that kept it from being made. Reading value() of a failed result
// throws std::bad_variant_access rather than handing out garbage.
//
//     const auto rates = vat::loadVatRates(path);
//     if (!rates) { op.log(rates.error().what); }
template <typename T>
class [[nodiscard]] Result {
  public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(Error error) : state_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T& value() const& { return std::get<0>(state_); }
    T& value() & { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    const T& operator*() const& { return value(); }
    T& operator*() & { return value(); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }

    const Error& error() const { return std::get<1>(state_); }

  private:
    std::variant<T, Error> state_;
};

// Success that carries nothing, or the Error.
template <>
class [[nodiscard]] Result<void> {
  public:
    Result() = default;
    Result(Error error) : error_(std::move(error)) {}

    bool ok() const { return !error_; }
    explicit operator bool() const { return ok(); }

    const Error& error() const { return error_.value(); }

  private:
    std::optional<Error> error_;
};

}  // namespace merovan::common
