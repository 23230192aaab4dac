#pragma once
#include <QString>
#include <optional>
#include <utility>

namespace corvane {

// The outcome of a call that can fail across a module boundary: a code from the callee's own
// enum, whose zero value means success, and for a failure the text to show the user (it may be
// empty when the caller words the message itself).
template <typename Code>
struct [[nodiscard]] Result {
  Code code{};
  QString text;

  static Result Success() { return {}; }
  static Result Failure(Code failure, QString reason = {}) { return {failure, std::move(reason)}; }
  bool Succeeded() const { return code == Code{}; }
  bool Failed() const { return !Succeeded(); }
};

// A result that carries a value on success.
template <typename T, typename Code>
struct [[nodiscard]] ValueResult {
  std::optional<T> value;
  Result<Code> status;

  static ValueResult Success(T v) { return {std::move(v), {}}; }
  static ValueResult Failure(Code failure, QString reason = {}) {
    return {std::nullopt, Result<Code>::Failure(failure, std::move(reason))};
  }
  bool Succeeded() const { return status.Succeeded() && value.has_value(); }
};

}  // namespace corvane
