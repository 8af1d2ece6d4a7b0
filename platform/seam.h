// The process-wide seams: the few places where the platform reaches
// something a test, or a mode of running, replaces for a while. Each seam is
// one variable that its module returns by reference:
//
//   platform::files::Sys()                   the file layer's system calls
//   platform::Startup()                      the socket and component layers
//   platform::dialog::BackendInForce()       the dialog backend (nullptr: the platform's choice)
//   platform::HelpViewerInForce()            the help viewer (nullptr: the desktop's)
//   platform::clock::ClockInForce()          the clock (nullptr: the host's)
//   platform::random::GeneratorInForce()     the random generator (nullptr: the runtime's)
//
// ScopedOverride replaces one for a scope and puts the old value back when
// the scope ends, however it ends:
//
//   platform::ScopedOverride calls(platform::files::Sys());  // then change members freely
//   platform::ScopedOverride clock(platform::clock::ClockInForce(), &fake);
#pragma once

#include <utility>

namespace platform {

template <typename T>
class ScopedOverride {
 public:
  // Keeps the value to restore; the scope may then change the seam.
  explicit ScopedOverride(T& seam) : seam_(seam), saved_(seam) {}
  // Keeps the value to restore and puts `value` in force.
  template <typename U>
  ScopedOverride(T& seam, U&& value) : seam_(seam), saved_(seam) {
    seam_ = std::forward<U>(value);
  }
  ~ScopedOverride() { seam_ = std::move(saved_); }
  ScopedOverride(const ScopedOverride&) = delete;
  ScopedOverride& operator=(const ScopedOverride&) = delete;

 private:
  T& seam_;
  T saved_;
};

template <typename T>
ScopedOverride(T&) -> ScopedOverride<T>;
template <typename T, typename U>
ScopedOverride(T&, U&&) -> ScopedOverride<T>;

}  // namespace platform
