#pragma once
// The shell's own thread. The window's thread hands each request to start a
// program or open a link to it and goes on at once; this thread performs the
// requests one after another, in the order they were handed over. It loads
// the shell's libraries and sets up COM for itself, so that the window's
// thread never waits for a program to start nor loads what the shell needs.
#include <windows.h>

#include <vector>

#include "forms/callback.h"
#include "shell/shell_service.h"
#include "windows/owned_handle.h"

namespace shell::win32 {

class ShellThread {
 public:
  using Perform = forms::Callback<void(const ShellRequest&)>;

  // held: the thread is made by Release(), so that neither making it nor
  // what it loads competes with the window's thread until the window shows.
  ShellThread(Perform perform, bool held);
  // Performs what was handed over, then ends the thread.
  ~ShellThread();
  ShellThread(const ShellThread&) = delete;
  ShellThread& operator=(const ShellThread&) = delete;

  void HandOver(const ShellRequest& request);
  void Release();
  // Returns once every request handed over has been performed (releasing
  // the thread if it was held).
  void Finish();

 private:
  static DWORD WINAPI Main(void* self);
  void Run();
  // Waits for handle while answering messages other threads send to this
  // thread's windows (the shell may send to the owner window).
  static void Wait(HANDLE handle);

  Perform perform_;
  windows::CriticalSection lock_;  // guards queue_ and ending_
  windows::OwnedEvent wake_;       // auto-reset: a request arrived, or the end
  windows::OwnedEvent idle_;       // manual-reset: nothing queued or being performed
  windows::OwnedThread thread_;
  std::vector<ShellRequest> queue_;  // handed over, not yet taken up by the thread
  bool started_ = false;             // released: the thread was made, or refused
  bool ending_ = false;
};

}  // namespace shell::win32
