#pragma once
// The one failure type of the forms runtime. Any operation on a window, a
// control or a runtime object that cannot be carried out throws it; the event
// dispatcher is the only place that catches it.
#include <stdexcept>
#include <string>

namespace forms {

class RuntimeError : public std::runtime_error {
 public:
  explicit RuntimeError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace forms
