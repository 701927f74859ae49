#pragma once
// The desktop shell's open service on Windows, as the launcher hands its
// requests to it: the program's own folder, and a thread of the shell's own
// (shell_thread.h) that performs the requests in the order given. The thread
// is made on the first request and held until the window has first shown
// (Release), so that it competes with nothing the user waits for.
#include <memory>
#include <string>

#include "shell/shell_service.h"

namespace shell::win32 {

class ShellThread;

class DesktopShell : public ShellService {
 public:
  DesktopShell();
  ~DesktopShell() override;
  DesktopShell(const DesktopShell&) = delete;
  DesktopShell& operator=(const DesktopShell&) = delete;

  // The folder of the running program, however long its path, in its
  // ordinary absolute form ("" when it has none).
  std::string AppFolder() override;
  void HandOver(const ShellRequest& request) override;

  // Requests handed over so far, and all later ones, may now be performed.
  void Release();
  // Returns once every request handed over so far has been performed.
  void Finish();

 protected:
  // Performs one request on the shell's thread (tests record it instead).
  virtual void Perform(const ShellRequest& request);

 private:
  std::unique_ptr<ShellThread> thread_;
  bool released_ = false;
};

}  // namespace shell::win32
