#include "shell/win32/shell_thread.h"

// After windows.h, which it builds on.
#include <objbase.h>

#include "windows/system_calls.h"
#include "windows/system_library.h"

namespace shell::win32 {

ShellThread::ShellThread(Perform perform, bool held)
    : perform_(perform),
      wake_(::CreateEventA(nullptr, FALSE, FALSE, nullptr)),  // no name: either form serves
      idle_(::CreateEventA(nullptr, TRUE, TRUE, nullptr)) {
  if (!held) Release();
}

// The events, the lock and the thread's handle go with their owners, after
// the thread has ended.
ShellThread::~ShellThread() {
  Release();
  if (!thread_) return;
  {
    const windows::LockScope locked(lock_);
    ending_ = true;
  }
  ::SetEvent(wake_.get());
  Wait(thread_.get());
}

// Without a thread of its own (the system refused one) the request is
// performed at once, as the window's thread would have done.
void ShellThread::HandOver(const ShellRequest& request) {
  if (started_ && !thread_) {
    perform_(request);
    return;
  }
  {
    const windows::LockScope locked(lock_);
    queue_.push_back(request);
    ::ResetEvent(idle_.get());
  }
  ::SetEvent(wake_.get());
}

// The thread starts here, with whatever was handed over while it was held.
void ShellThread::Release() {
  if (started_) return;
  started_ = true;
  if (wake_ && idle_) thread_.reset(::CreateThread(nullptr, 0, &ShellThread::Main, this, 0, nullptr));
  if (thread_) return;
  std::vector<ShellRequest> queued;
  queued.swap(queue_);
  for (const ShellRequest& request : queued) perform_(request);
  if (idle_) ::SetEvent(idle_.get());
}

void ShellThread::Finish() {
  Release();
  if (thread_) Wait(idle_.get());
}

void ShellThread::Wait(HANDLE handle) {
  while (::MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
    MSG message;
    windows::Calls().peek_message(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

DWORD WINAPI ShellThread::Main(void* self) {
  static_cast<ShellThread*>(self)->Run();
  return 0;
}

void ShellThread::Run() {
  // The shell may hand a start or the mail link to a handler that needs COM
  // on the calling thread. COM is loaded here, off the window's thread.
  const windows::ComFunctions com = windows::LoadCom();
  const HRESULT apartment =
      com.Ready() ? com.initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE) : E_NOTIMPL;
  std::vector<ShellRequest> taken;
  for (;;) {
    bool end = false;
    {
      const windows::LockScope locked(lock_);
      if (queue_.empty()) {
        ::SetEvent(idle_.get());
        end = ending_;
      } else {
        taken.swap(queue_);
      }
    }
    if (taken.empty()) {
      if (end) break;
      ::WaitForSingleObject(wake_.get(), INFINITE);
      continue;
    }
    // A start that fails stays silent: the shell's answer is not acted on.
    for (const ShellRequest& request : taken) perform_(request);
    taken.clear();
  }
  if (SUCCEEDED(apartment)) com.uninitialize();
}

}  // namespace shell::win32
