// The controller's one error model: an operation's value, or a failure that says why and whose
// it is (docs/worker.md, "Errors inside the controller").
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace controller {

/// Whose fault a failure is; it decides what becomes of the frames and the exit status.
enum class FailureKind {
  /// The frame failed (render error, fault, bad file); the next frame goes on.
  Frame,
  /// The command line is wrong: nothing was tried.
  Usage,
  /// The job is bad (scene, StartJob, option values): no frame can succeed anywhere.
  Job,
  /// This machine cannot render (maxsim, work folder, disk).
  Node,
  /// A stop signal came; nothing more is rendered.
  Stopped,
};

/// Why an operation failed, in words for people. Modules throw their own exceptions inside;
/// the render run and the farm commands turn each into a Failure at their boundary, and its kind
/// alone decides the exit status (exit_status.h).
struct Failure {
  FailureKind kind = FailureKind::Frame;
  std::string text;
};

/// The value of an operation that can fail, or its failure. Must be looked at.
template <typename T>
class [[nodiscard]] Expected {
 public:
  Expected(T value) : state_(std::move(value)) {}
  Expected(Failure failure) : state_(std::move(failure)) {}

  explicit operator bool() const { return state_.index() == 0; }
  T& operator*() { return std::get<0>(state_); }
  const T& operator*() const { return std::get<0>(state_); }
  T* operator->() { return &std::get<0>(state_); }
  /// The failure; only when the operation failed.
  const Failure& failure() const { return std::get<1>(state_); }

 private:
  std::variant<T, Failure> state_;
};

/// The outcome of an operation that yields nothing but can fail.
template <>
class [[nodiscard]] Expected<void> {
 public:
  Expected() = default;
  Expected(Failure failure) : failure_(std::move(failure)) {}

  explicit operator bool() const { return !failure_; }
  const Failure& failure() const { return *failure_; }

 private:
  std::optional<Failure> failure_;
};

/// A failure of the given kind, for returning from an operation.
inline Failure fail(FailureKind kind, std::string text) {
  return Failure{kind, std::move(text)};
}

}  // namespace controller
