#pragma once
// Where ShellOpen hands its requests: the desktop shell's open service as the
// program provides it (on Windows a thread of its own that calls the shell;
// in the tests, a record). The program sets its service before its window
// loads, and it serves until the window is gone.
#include <cstdint>
#include <string>

namespace shell {

// One request to the desktop shell's open service. All texts are UTF-8.
struct ShellRequest {
  std::uintptr_t owner = 0;  // the window's native handle
  std::string verb;
  std::string file;  // relative to directory, or a link
  std::string parameters;
  std::string directory;
  int show = 1;
};

class ShellService {
 public:
  virtual ~ShellService() = default;
  // The folder of the running program: UTF-8, no trailing separator except
  // at a drive root; "" when it has no absolute one.
  virtual std::string AppFolder() = 0;
  // Takes the request over; the starts follow in the order requests were
  // handed over, and none has an answer anybody acts on.
  virtual void HandOver(const ShellRequest& request) = 0;
};

// The service ShellOpen uses while the scope lasts.
class UseShellService {
 public:
  explicit UseShellService(ShellService& service) noexcept;
  ~UseShellService();
  UseShellService(const UseShellService&) = delete;
  UseShellService& operator=(const UseShellService&) = delete;

 private:
  ShellService* previous_;
};

}  // namespace shell
