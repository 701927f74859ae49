#include "forms/win32/shell_thread.h"

// After windows.h, which it builds on.
#include <objbase.h>

#include "forms/win32/system_calls.h"
#include "forms/win32/system_library.h"

namespace forms::win32 {

ShellThread::ShellThread(Perform perform, bool held) : perform_(perform) {
  ::InitializeCriticalSection(&lock_);
  wake_ = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);  // no name: either form serves
  idle_ = ::CreateEventA(nullptr, TRUE, TRUE, nullptr);
  if (!held) Release();
}

ShellThread::~ShellThread() {
  Release();
  if (thread_ != nullptr) {
    ::EnterCriticalSection(&lock_);
    ending_ = true;
    ::LeaveCriticalSection(&lock_);
    ::SetEvent(wake_);
    Wait(thread_);
    ::CloseHandle(thread_);
  }
  for (HANDLE event : {wake_, idle_})
    if (event != nullptr) ::CloseHandle(event);
  ::DeleteCriticalSection(&lock_);
}

// Without a thread of its own (the system refused one) the request is
// performed at once, as the window's thread would have done.
void ShellThread::HandOver(const ShellRequest& request) {
  if (started_ && thread_ == nullptr) {
    perform_(request);
    return;
  }
  ::EnterCriticalSection(&lock_);
  queue_.push_back(request);
  ::ResetEvent(idle_);
  ::LeaveCriticalSection(&lock_);
  ::SetEvent(wake_);
}

// The thread starts here, with whatever was handed over while it was held.
void ShellThread::Release() {
  if (started_) return;
  started_ = true;
  if (wake_ != nullptr && idle_ != nullptr) thread_ = ::CreateThread(nullptr, 0, &ShellThread::Main, this, 0, nullptr);
  if (thread_ != nullptr) return;
  std::vector<ShellRequest> queued;
  queued.swap(queue_);
  for (const ShellRequest& request : queued) perform_(request);
  ::SetEvent(idle_);
}

void ShellThread::Finish() {
  Release();
  if (thread_ != nullptr) Wait(idle_);
}

void ShellThread::Wait(HANDLE handle) {
  while (::MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
    MSG message;
    Calls().peek_message(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

DWORD WINAPI ShellThread::Main(void* self) {
  static_cast<ShellThread*>(self)->Run();
  return 0;
}

void ShellThread::Run() {
  // The shell may hand a start or the mail link to a handler that needs COM
  // on the calling thread. COM is loaded here, off the window's thread.
  const ComFunctions com = LoadCom();
  const HRESULT apartment =
      com.Ready() ? com.initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE) : E_NOTIMPL;
  std::vector<ShellRequest> taken;
  for (;;) {
    ::EnterCriticalSection(&lock_);
    if (queue_.empty()) {
      ::SetEvent(idle_);
      const bool end = ending_;
      ::LeaveCriticalSection(&lock_);
      if (end) break;
      ::WaitForSingleObject(wake_, INFINITE);
      continue;
    }
    taken.swap(queue_);
    ::LeaveCriticalSection(&lock_);
    // A start that fails stays silent: the shell's answer is not acted on.
    for (const ShellRequest& request : taken) perform_(request);
    taken.clear();
  }
  if (SUCCEEDED(apartment)) com.uninitialize();
}

}  // namespace forms::win32
