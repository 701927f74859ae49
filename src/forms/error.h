#pragma once
// The one failure type of the forms runtime. Any operation on a window, a
// control or a runtime object that cannot be carried out throws it; the event
// dispatcher is the only place that catches it. It stands alone rather than
// deriving from the standard library's exception classes, whose code (and
// that of the strings they keep) would otherwise be linked into Setup.exe.
#include <string>
#include <utility>

namespace forms {

class RuntimeError {
 public:
  explicit RuntimeError(std::string what) : what_(std::move(what)) {}
  const char* what() const noexcept { return what_.c_str(); }

 private:
  std::string what_;
};

}  // namespace forms
