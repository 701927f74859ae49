// Drives the staged launcher like a user would: starts Setup.exe, finds its
// window by caption, presses its buttons with real mouse input and reads the
// start records the companion stand-ins leave behind.
//
//   e2e_driver <scenario> <stage folder>
//
// Scenarios: "install" (the whole OK path with its timings), "cancel" (the
// exit question answered both ways), "odd-folder" (media copied into a folder
// with a non-ASCII name and no speech program), "close-asking" (a close
// request while the question is open), "cdrom" (the install path from the
// root of a CD-ROM drive, e.g. "K:\"), and "matrix": the table of faults at
// the shell boundary (odd folders, missing companions, decoys, close
// requests in every state, planted DLLs). The exit status is the number of
// failed checks (0: passed).
//
//   e2e_driver press-ok|quit
//
// acts on a launcher someone else started (used by script/run).
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <cstdarg>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "windows/text.h"

namespace {

const wchar_t kCaption[] = L"安装Keyvandor";
const wchar_t kOkText[] = L"确定";
const wchar_t kCancelText[] = L"取消";
const wchar_t kQuestionTitle[] = L"退出询问";
const wchar_t kQuestionPrompt[] = L"您确定要退出安装系统吗?";

// ---------------------------------------------------------------- reporting

int g_failures = 0;

void Say(const char* kind, const std::wstring& text) {
  std::printf("%s %s\n", kind, windows::Narrow(text).c_str());
  std::fflush(stdout);
}

std::wstring Format(const wchar_t* fmt, ...) {
  wchar_t buf[2048];
  va_list args;
  va_start(args, fmt);
  std::vswprintf(buf, std::size(buf), fmt, args);
  va_end(args);
  return buf;
}

void Note(const std::wstring& text) { Say("  --", text); }

// A failed check is reported and counted; the scenario goes on.
bool Check(bool condition, const std::wstring& what) {
  Say(condition ? "  ok" : "FAIL", what);
  if (!condition) ++g_failures;
  return condition;
}

// A failed requirement ends the scenario: what follows depends on it.
struct Abort : std::runtime_error {
  using std::runtime_error::runtime_error;
};
void Require(bool condition, const std::wstring& what) {
  if (!Check(condition, what)) throw Abort(windows::Narrow(what));
}

// ---------------------------------------------------------------- time, paths

long long NowMs() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  return static_cast<long long>((static_cast<unsigned long long>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime) / 10000);
}

bool SameText(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

std::wstring TrimSlash(std::wstring path) {
  while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  return path;
}

bool SamePath(const std::wstring& a, const std::wstring& b) { return SameText(TrimSlash(a), TrimSlash(b)); }

// A drive's root ("K:\") already ends in its separator.
std::wstring Join(const std::wstring& folder, const std::wstring& name) {
  return folder.back() == L'\\' ? folder + name : folder + L"\\" + name;
}

// The stage folder may come as a Unix path from the build; Wine maps the Unix
// root to drive Z:.
std::wstring WindowsPath(std::wstring path) {
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  for (auto& c : path)
    if (c == L'/') c = L'\\';
  wchar_t full[MAX_PATH * 4];
  const DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(std::size(full)), full, nullptr);
  return TrimSlash(n > 0 && n < std::size(full) ? std::wstring(full, n) : path);
}

std::wstring TempFolder() {
  wchar_t temp[MAX_PATH + 1];
  const DWORD n = GetTempPathW(static_cast<DWORD>(std::size(temp)), temp);
  return TrimSlash(std::wstring(temp, n));
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveTree(const std::wstring& dir) {
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = dir + L"\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else
        DeleteFileW(path.c_str());
    } while (FindNextFileW(find, &fd));
    FindClose(find);
  }
  RemoveDirectoryW(dir.c_str());
}

void CopyOrDie(const std::wstring& from, const std::wstring& to) {
  Require(CopyFileW(from.c_str(), to.c_str(), FALSE) != 0, L"copied " + from + L" to " + to);
}

// ---------------------------------------------------------------- stand-in records

struct Record {
  long long ms = 0;
  std::wstring module;
  std::wstring cwd;
  std::wstring Name() const { return module.substr(module.find_last_of(L'\\') + 1); }
};

long long ParseUtc(const std::string& text) {
  SYSTEMTIME st{};
  unsigned y, mo, d, h, mi, s, ms;
  if (std::sscanf(text.c_str(), "%u-%u-%uT%u:%u:%u.%uZ", &y, &mo, &d, &h, &mi, &s, &ms) != 7) return -1;
  st.wYear = static_cast<WORD>(y);
  st.wMonth = static_cast<WORD>(mo);
  st.wDay = static_cast<WORD>(d);
  st.wHour = static_cast<WORD>(h);
  st.wMinute = static_cast<WORD>(mi);
  st.wSecond = static_cast<WORD>(s);
  st.wMilliseconds = static_cast<WORD>(ms);
  FILETIME ft;
  if (!SystemTimeToFileTime(&st, &ft)) return -1;
  return static_cast<long long>((static_cast<unsigned long long>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime) / 10000);
}

std::vector<Record> ReadLog(const std::wstring& path) {
  std::vector<Record> records;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return records;
  std::string bytes;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(file, buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
  CloseHandle(file);
  size_t start = 0;
  for (size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1) {
    std::vector<std::string> fields;
    const std::string line = bytes.substr(start, end - start);
    for (size_t a = 0, b;; a = b + 1) {
      b = line.find('\t', a);
      fields.push_back(line.substr(a, b == std::string::npos ? std::string::npos : b - a));
      if (b == std::string::npos) break;
    }
    if (fields.size() < 3) continue;
    records.push_back(Record{ParseUtc(fields[0]), windows::Widen(fields[1]), windows::Widen(fields[2])});
  }
  return records;
}

const Record* FindRecord(const std::vector<Record>& records, const std::wstring& name) {
  for (const auto& r : records)
    if (SameText(r.Name(), name)) return &r;
  return nullptr;
}

int CountRecords(const std::vector<Record>& records, const std::wstring& name) {
  int n = 0;
  for (const auto& r : records) n += SameText(r.Name(), name) ? 1 : 0;
  return n;
}

bool WaitFor(const std::function<bool()>& done, int timeout_ms, int step_ms = 25) {
  const long long until = NowMs() + timeout_ms;
  for (;;) {
    if (done()) return true;
    if (NowMs() > until) return false;
    Sleep(step_ms);
  }
}

// Waits for the named stand-in's first record; empty when none came in time.
std::vector<Record> g_records;  // the log as last read
std::optional<Record> WaitForRecord(const std::wstring& log, const std::wstring& name, int timeout_ms) {
  std::optional<Record> found;
  WaitFor(
      [&] {
        g_records = ReadLog(log);
        if (const Record* r = FindRecord(g_records, name)) found = *r;
        return found.has_value();
      },
      timeout_ms, 20);
  return found;
}

// ---------------------------------------------------------------- windows and input

struct WindowQuery {
  DWORD pid;
  const wchar_t* title;
  HWND found;
};

std::wstring TextOf(HWND wnd) {
  wchar_t buf[512];
  const int n = GetWindowTextW(wnd, buf, static_cast<int>(std::size(buf)));
  return std::wstring(buf, n > 0 ? n : 0);
}

std::wstring ClassOf(HWND wnd) {
  wchar_t buf[256];
  const int n = GetClassNameW(wnd, buf, static_cast<int>(std::size(buf)));
  return std::wstring(buf, n > 0 ? n : 0);
}

// Captions of buttons may carry an accelerator mark.
std::wstring WithoutAmpersand(std::wstring text) {
  std::wstring out;
  for (wchar_t c : text)
    if (c != L'&') out += c;
  return out;
}

// Enumeration callbacks (32-bit Windows wants them stdcall, so no lambdas).
BOOL CALLBACK MatchTopWindow(HWND wnd, LPARAM param) {
  auto& q = *reinterpret_cast<WindowQuery*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(wnd, &owner);
  if (owner == q.pid && IsWindowVisible(wnd) && TextOf(wnd) == q.title) {
    q.found = wnd;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK MatchButton(HWND wnd, LPARAM param) {
  auto& q = *reinterpret_cast<WindowQuery*>(param);
  if (SameText(ClassOf(wnd), L"Button") && WithoutAmpersand(TextOf(wnd)) == q.title) {
    q.found = wnd;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK MatchText(HWND wnd, LPARAM param) {
  auto& q = *reinterpret_cast<WindowQuery*>(param);
  if (TextOf(wnd) == q.title) {
    q.found = wnd;
    return FALSE;
  }
  return TRUE;
}

HWND FindTopWindow(DWORD pid, const wchar_t* title) {
  WindowQuery query{pid, title, nullptr};
  EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&query));
  return query.found;
}

// Every descendant, not just direct children: the buttons may sit on the
// artwork's picture box rather than on the window itself.
HWND FindButton(HWND parent, const wchar_t* caption) {
  HWND found = FindWindowExW(parent, nullptr, L"Button", caption);
  if (found) return found;
  WindowQuery query{0, caption, nullptr};
  EnumChildWindows(parent, MatchButton, reinterpret_cast<LPARAM>(&query));
  return query.found;
}

bool HasChildText(HWND parent, const wchar_t* text) {
  WindowQuery query{0, text, nullptr};
  EnumChildWindows(parent, MatchText, reinterpret_cast<LPARAM>(&query));
  return query.found != nullptr;
}

void MouseButton(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

// A real click: bring the window forward, move the pointer to the middle of
// the control and press and release the left button there.
void Click(HWND top, HWND control) {
  SetForegroundWindow(top);
  Sleep(100);
  RECT r;
  GetWindowRect(control, &r);
  const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
  SetCursorPos(x, y);
  Sleep(80);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  Sleep(80);
  MouseButton(MOUSEEVENTF_LEFTUP);
  Sleep(80);
}

// ---------------------------------------------------------------- the launcher process

struct Launcher {
  PROCESS_INFORMATION pi{};
  long long started_ms = 0;
  HWND window = nullptr;
  HWND ok = nullptr;
  HWND cancel = nullptr;

  Launcher() = default;
  Launcher(const Launcher&) = delete;
  Launcher& operator=(const Launcher&) = delete;
  ~Launcher() {
    if (!pi.hProcess) return;
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
      Note(L"stopping the launcher left running");
      TerminateProcess(pi.hProcess, 99);
      WaitForSingleObject(pi.hProcess, 5000);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }

  bool Running(int wait_ms = 0) const { return WaitForSingleObject(pi.hProcess, wait_ms) == WAIT_TIMEOUT; }
  DWORD ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    return code;
  }
};

// Starts the launcher from a working directory other than its own folder, so
// that the folder the companions start in can only come from the launcher.
void Start(Launcher& launcher, const std::wstring& exe, const std::wstring& cwd) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  std::wstring command = L"\"" + exe + L"\"";
  launcher.started_ms = NowMs();
  Require(CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(), &si,
                         &launcher.pi) != 0,
          Format(L"started %ls (error %lu)", exe.c_str(), GetLastError()));
  Require(
      WaitFor([&] { return (launcher.window = FindTopWindow(launcher.pi.dwProcessId, kCaption)) != nullptr; }, 30000),
      Format(L"window \"%ls\" appeared (after %lld ms)", kCaption, NowMs() - launcher.started_ms));
  // The buttons are made just after the strip first shows.
  Require(WaitFor(
              [&] {
                launcher.ok = FindButton(launcher.window, kOkText);
                launcher.cancel = FindButton(launcher.window, kCancelText);
                return launcher.ok && launcher.cancel;
              },
              5000),
          L"the window has the buttons 确定 and 取消");
}

// Waits until the window has stopped growing: the opening animation is over.
void WaitUntilOpen(const Launcher& launcher) {
  RECT last{};
  long long stable_since = NowMs();
  const bool settled = WaitFor(
      [&] {
        RECT r;
        GetWindowRect(launcher.window, &r);
        if (!EqualRect(&r, &last)) {
          last = r;
          stable_since = NowMs();
        }
        return r.bottom - r.top > 100 && NowMs() - stable_since > 1500;
      },
      20000, 50);
  Check(settled, Format(L"the window opened to %ld x %ld pixels", last.right - last.left, last.bottom - last.top));
}

HWND WaitForQuestion(DWORD pid) {
  HWND box = nullptr;
  WaitFor([&] { return (box = FindTopWindow(pid, kQuestionTitle)) != nullptr; }, 10000);
  Require(box != nullptr, Format(L"the question \"%ls\" appeared", kQuestionTitle));
  return box;
}

std::wstring FreshLog(const wchar_t* scenario) {
  const std::wstring log = TempFolder() + Format(L"\\kvd-e2e-%ls-%lu.log", scenario, GetCurrentProcessId());
  DeleteFileW(log.c_str());
  SetEnvironmentVariableW(L"KVD_STANDIN_LOG", log.c_str());
  return log;
}

void CheckStartedFrom(const std::optional<Record>& record, const std::wstring& folder, const std::wstring& relative) {
  if (!record) return;
  Check(SamePath(record->module, Join(folder, relative)), L"it was " + record->module);
  Check(SamePath(record->cwd, folder), L"its working directory was " + record->cwd);
}

// ---------------------------------------------------------------- scenarios

// OK is held back for 15 s, then hands over: data2 at once, the installer
// 20 s later, and the launcher ends with status 0.
void Install(const std::wstring& stage) {
  const std::wstring log = FreshLog(L"install");
  Launcher l;
  Start(l, Join(stage, L"Setup.exe"), TempFolder());
  const long long t0 = l.started_ms;

  const auto data1 = WaitForRecord(log, L"data1.exe", 10000);
  if (Check(data1.has_value(), L"data\\data1.exe started")) {
    Note(Format(L"data1 after %lld ms", data1->ms - t0));
    CheckStartedFrom(data1, stage, L"data\\data1.exe");
  }
  const auto speech = WaitForRecord(log, L"speech.exe", 10000);
  if (Check(speech.has_value(), L"speech.exe started once the window was open")) {
    Note(Format(L"speech after %lld ms", speech->ms - t0));
    Check(speech->ms - t0 < 10000, L"speech.exe started within 10 s of the launcher");
    CheckStartedFrom(speech, stage, L"speech.exe");
  }

  // Early presses of OK are refused.
  Check(!IsWindowEnabled(l.ok), L"OK is disabled at first");
  Check(IsWindowEnabled(l.cancel) != 0, L"Cancel is enabled at first");
  for (long long at : {3000LL, 11000LL}) {
    while (NowMs() < t0 + at) Sleep(20);
    if (NowMs() > t0 + 13000) {
      Note(L"too late for an early press of OK; skipped");
      break;
    }
    Click(l.window, l.ok);
    Sleep(700);
    g_records = ReadLog(log);
    Check(FindRecord(g_records, L"data2.exe") == nullptr,
          Format(L"pressing OK after %lld ms started nothing", NowMs() - t0));
    Check(!IsWindowEnabled(l.ok) && l.Running(), L"OK stays disabled and the launcher runs on");
  }

  // OK becomes available 15 s after the window was created.
  long long enabled_at = 0;
  Require(WaitFor([&] { return IsWindowEnabled(l.ok) != 0; }, static_cast<int>(t0 + 45000 - NowMs())),
          L"OK became available");
  enabled_at = NowMs();
  Note(Format(L"OK available after %lld ms", enabled_at - t0));
  Check(enabled_at - t0 >= 14500 && enabled_at - t0 <= 25000, L"OK became available about 15 s after start");

  const long long clicked_at = NowMs();
  Click(l.window, l.ok);
  const auto data2 = WaitForRecord(log, L"data2.exe", 5000);
  if (Check(data2.has_value(), L"data\\data2.exe started on OK")) {
    Note(Format(L"data2 %lld ms after the click", data2->ms - clicked_at));
    Check(data2->ms >= clicked_at - 50 && data2->ms - clicked_at < 5000, L"data2.exe started at once");
    CheckStartedFrom(data2, stage, L"data\\data2.exe");
  }
  Check(WaitFor([&] { return !IsWindowEnabled(l.ok) && !IsWindowEnabled(l.cancel); }, 2000),
        L"both buttons are disabled after OK");
  Check(FindRecord(g_records, L"File.exe") == nullptr, L"the installer did not start at once");

  // The installer 20 s after OK, and the launcher ends right after it.
  Require(!l.Running(40000), L"the launcher ended after OK");
  const long long ended_at = NowMs();
  Note(Format(L"launcher ended %lld ms after OK", ended_at - clicked_at));
  Check(l.ExitCode() == 0, Format(L"exit status %lu is 0", l.ExitCode()));
  const auto file = WaitForRecord(log, L"File.exe", 10000);
  if (Check(file.has_value(), L"file\\File.exe started")) {
    Note(Format(L"File.exe %lld ms after the click", file->ms - clicked_at));
    Check(file->ms - clicked_at >= 19000 && file->ms - clicked_at <= 26000,
          L"the installer started about 20 s after OK");
    Check(ended_at - file->ms < 5000 && file->ms - ended_at < 5000, L"the launcher ended right after starting it");
    CheckStartedFrom(file, stage, L"file\\File.exe");
  }

  Sleep(500);
  g_records = ReadLog(log);
  std::wstring order;
  for (const auto& r : g_records) order += r.Name() + L" ";
  Check(SameText(order, L"data1.exe speech.exe data2.exe File.exe "),
        L"companions started once each, in order: " + order);
  DeleteFileW(log.c_str());
}

// Cancel asks first: "Cancel" (the pre-selected answer) changes nothing,
// "OK" ends the launcher without starting data2 or the installer.
void Cancel(const std::wstring& stage) {
  const std::wstring log = FreshLog(L"cancel");
  Launcher l;
  Start(l, stage + L"\\Setup.exe", TempFolder());
  WaitForRecord(log, L"speech.exe", 10000);

  Click(l.window, l.cancel);
  HWND box = WaitForQuestion(l.pi.dwProcessId);
  Check(SameText(ClassOf(box), L"#32770"), L"the question is a message box");
  Check(HasChildText(box, kQuestionPrompt), Format(L"it asks \"%ls\"", kQuestionPrompt));
  HWND box_ok = GetDlgItem(box, IDOK);
  HWND box_cancel = GetDlgItem(box, IDCANCEL);
  Require(box_ok && box_cancel, L"it offers OK and Cancel");
  Check((GetWindowLongW(box_cancel, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON, L"Cancel is its default button");
  Check((GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, L"it stays above other windows");

  Click(box, box_cancel);
  Check(WaitFor([&] { return !IsWindow(box); }, 5000), L"answering Cancel closes the question");
  Check(l.Running(1500), L"the launcher runs on after Cancel, Cancel");
  Check(IsWindow(l.window) && IsWindowVisible(l.window), L"its window is still shown");
  Check(IsWindowEnabled(l.cancel) != 0, L"Cancel is still enabled");
  if (NowMs() - l.started_ms < 13000) Check(!IsWindowEnabled(l.ok), L"OK is still disabled");

  Click(l.window, l.cancel);
  box = WaitForQuestion(l.pi.dwProcessId);
  box_ok = GetDlgItem(box, IDOK);
  Require(box_ok != nullptr, L"the question came again");
  Click(box, box_ok);
  Require(!l.Running(10000), L"answering OK ends the launcher");
  Check(l.ExitCode() == 0, Format(L"exit status %lu is 0", l.ExitCode()));

  Sleep(1500);
  g_records = ReadLog(log);
  Check(FindRecord(g_records, L"data2.exe") == nullptr, L"data\\data2.exe never started");
  Check(FindRecord(g_records, L"File.exe") == nullptr, L"file\\File.exe never started");
  Check(CountRecords(g_records, L"data1.exe") == 1, L"data\\data1.exe started once");
  DeleteFileW(log.c_str());
}

// Media copied into a folder named in several scripts, without its speech
// program; a speech.exe reachable through PATH and the working directory must
// not be taken in its place.
void OddFolder(const std::wstring& stage) {
  const std::wstring log = FreshLog(L"odd-folder");
  const std::wstring odd = TempFolder() + L"\\安装 한국어 Café";
  const std::wstring decoy = TempFolder() + L"\\kvd-e2e-decoy";
  RemoveTree(odd);
  RemoveTree(decoy);
  CreateDirectoryW(odd.c_str(), nullptr);
  CreateDirectoryW((odd + L"\\data").c_str(), nullptr);
  CreateDirectoryW((odd + L"\\file").c_str(), nullptr);
  CreateDirectoryW(decoy.c_str(), nullptr);
  for (const wchar_t* name : {L"Setup.exe", L"data\\data1.exe", L"data\\data2.exe", L"file\\File.exe"})
    CopyOrDie(stage + L"\\" + name, odd + L"\\" + name);
  CopyOrDie(stage + L"\\speech.exe", decoy + L"\\speech.exe");

  wchar_t path[32768];
  const DWORD n = GetEnvironmentVariableW(L"PATH", path, static_cast<DWORD>(std::size(path)));
  const std::wstring old_path(path, n < std::size(path) ? n : 0);
  SetEnvironmentVariableW(L"PATH", (decoy + L";" + old_path).c_str());
  {
    Launcher l;
    Start(l, odd + L"\\Setup.exe", decoy);
    SetEnvironmentVariableW(L"PATH", old_path.c_str());

    const auto data1 = WaitForRecord(log, L"data1.exe", 10000);
    if (Check(data1.has_value(), L"data\\data1.exe started from the copied media")) {
      CheckStartedFrom(data1, odd, L"data\\data1.exe");
    }
    WaitUntilOpen(l);
    Sleep(2500);  // a wrongly started speech program would have written by now
    g_records = ReadLog(log);
    const Record* speech = FindRecord(g_records, L"speech.exe");
    Check(speech == nullptr,
          L"no speech.exe started" + (speech ? L" (but " + speech->module + L" was)" : std::wstring()));
    Check(l.Running(), L"the launcher runs on without its speech program");

    Click(l.window, l.cancel);
    HWND box = WaitForQuestion(l.pi.dwProcessId);
    Click(box, GetDlgItem(box, IDOK));
    Check(!l.Running(10000), L"the launcher ended when asked to");
  }
  RemoveTree(odd);
  RemoveTree(decoy);
  DeleteFileW(log.c_str());
}

// A close request while the question is open, to the window or to its
// hidden owner: the launcher ends at once with status 0, the question goes
// with it, and neither data2 nor the installer ever starts.
void CloseWhileAsking(const std::wstring& stage) {
  for (const bool to_owner : {false, true}) {
    const std::wstring log = FreshLog(L"close-asking");
    Launcher l;
    Start(l, stage + L"\\Setup.exe", TempFolder());
    WaitForRecord(log, L"speech.exe", 10000);
    Click(l.window, l.cancel);
    const HWND box = WaitForQuestion(l.pi.dwProcessId);
    const HWND target = to_owner ? GetWindow(l.window, GW_OWNER) : l.window;
    Require(target != nullptr, to_owner ? L"the window has an owner" : L"the window is there");
    const long long asked_at = NowMs();
    PostMessageW(target, WM_CLOSE, 0, 0);
    Require(!l.Running(5000), Format(L"WM_CLOSE to the %ls ended the launcher while the question was open",
                                     to_owner ? L"owner" : L"window"));
    Note(Format(L"ended %lld ms after the request", NowMs() - asked_at));
    Check(l.ExitCode() == 0, Format(L"exit status %lu is 0", l.ExitCode()));
    Check(!IsWindow(box), L"the question went with the window");
    Sleep(1000);
    g_records = ReadLog(log);
    Check(FindRecord(g_records, L"data2.exe") == nullptr && FindRecord(g_records, L"File.exe") == nullptr,
          L"nothing more started");
    DeleteFileW(log.c_str());
  }
}

// ---------------------------------------------------------------- the fault matrix
//
// Each row is one copy of the media, prepared as the row says, with its own
// launcher and its own start log; the rows of a run go side by side, so the
// whole matrix takes about one OK flow. A row records which programs
// started, from which path and in which working folder, the exit status and
// any process left behind, and passes when that is what it expects.

enum class Act {
  Install,
  Cancel,
  CloseGrowing,
  CloseWaiting,
  CloseReady,
  CloseAsking,
  CloseOwnerAsking,
  CloseAfterOk,
  EndSession
};

struct Row {
  const wchar_t* name;
  const wchar_t* folder;  // the media folder: under the matrix's base folder, or absolute
  Act act = Act::Install;
  const wchar_t* missing = L"";  // companions left off the media, separated by '|'; a trailing '\' puts a folder there
  const wchar_t* expect = L"data1.exe speech.exe data2.exe File.exe ";  // starts, in order
  bool decoys = false;  // same-named programs on PATH, in the working folder and beside the real ones
  bool plant = false;   // every usual DLL planting name beside Setup.exe, preferred to the system's
  bool quick = false;   // also in script/test's short run
  bool mail = false;    // clicks the e-mail link once the window is open, with no program to take it
};

const wchar_t* const kPlantNames[] = {L"version",       L"uxtheme",  L"dwmapi",  L"comctl32", L"cryptbase",
                                      L"propsys",       L"winmm",    L"msimg32", L"userenv",  L"windowscodecs",
                                      L"oleacc",        L"apphelp",  L"profapi", L"sspicli",  L"textinputframework",
                                      L"coremessaging", L"wintypes", L"secur32", L"netapi32", L"wtsapi32",
                                      L"dbghelp",       L"mpr",      L"ntmarta", L"riched20", L"urlmon",
                                      L"wininet",       L"iertutil"};

const Row kRows[] = {
    {L"plain folder", L"plain", Act::Install, L"", L"data1.exe speech.exe data2.exe File.exe ", false, false, true},
    {L"a space", L"with space"},
    {L"Chinese, Korean, accented", L"安装 한국어 Café", Act::Install, L"", L"data1.exe speech.exe data2.exe File.exe ",
     false, false, true},
    {L"an apostrophe", L"O'Brien's media"},
    {L"shell metacharacters", L"100% & (x86) #1 ^;,=!"},
    {L"%TEMP% in the name", L"%TEMP%", Act::Install, L"", L"data1.exe speech.exe data2.exe File.exe ", false, false,
     true},
    {L"%USERNAME% in the name", L"%USERNAME%"},
    {L"a folder of about 245 characters", L"*deep"},
    {L"a drive root", L"D:\\"},
    {L"a CD-ROM drive", L"E:\\"},
    {L"a UNC share", L"\\\\kvdserver\\media\\kvd"},
    {L"data1 missing", L"miss-data1", Act::Install, L"data\\data1.exe", L"speech.exe data2.exe File.exe "},
    {L"speech missing", L"miss-speech", Act::Install, L"speech.exe", L"data1.exe data2.exe File.exe "},
    {L"data2 missing", L"miss-data2", Act::Install, L"data\\data2.exe", L"data1.exe speech.exe File.exe "},
    {L"the installer missing", L"miss-file", Act::Install, L"file\\File.exe", L"data1.exe speech.exe data2.exe "},
    {L"all four missing", L"miss-all", Act::Install, L"data\\data1.exe|speech.exe|data\\data2.exe|file\\File.exe", L""},
    {L"a folder where data2 should be", L"folder-data2", Act::Install, L"data\\data2.exe\\",
     L"data1.exe speech.exe File.exe ", false, false, true},
    {L"decoys on PATH, in the working folder and beside", L"decoys", Act::Install, L"speech.exe",
     L"data1.exe data2.exe File.exe ", true, false, true},
    {L"Cancel, answered OK", L"cancel", Act::Cancel, L"", L"data1.exe speech.exe "},
    {L"close while growing", L"close-growing", Act::CloseGrowing, L"", L"data1.exe "},
    {L"close while waiting", L"close-waiting", Act::CloseWaiting, L"", L"data1.exe speech.exe "},
    {L"close once OK is available", L"close-ready", Act::CloseReady, L"", L"data1.exe speech.exe "},
    {L"close to the window with the question open", L"close-asking", Act::CloseAsking, L"", L"data1.exe speech.exe ",
     false, false, true},
    {L"close to the owner with the question open", L"close-owner-asking", Act::CloseOwnerAsking, L"",
     L"data1.exe speech.exe "},
    {L"close after OK", L"close-after-ok", Act::CloseAfterOk, L"", L"data1.exe speech.exe data2.exe "},
    {L"end of session", L"end-session", Act::EndSession, L"", L"data1.exe speech.exe "},
    {L"27 planted DLLs, native first", L"planted", Act::Install, L"", L"data1.exe speech.exe data2.exe File.exe ",
     false, true, true},
    {L"no mail handler", L"no-mail", Act::Install, L"", L"data1.exe speech.exe data2.exe File.exe ", false, false, true,
     true},
};

// The system's handler of mailto: links, taken away while the matrix runs
// and put back after. Only the row that clicks the link notices.
class MailHandlerAway {
 public:
  MailHandlerAway() {
    wchar_t command[1024] = {};
    DWORD size = sizeof command;
    had_ = RegGetValueW(HKEY_LOCAL_MACHINE, kKey, nullptr, RRF_RT_REG_SZ, nullptr, command, &size) == ERROR_SUCCESS;
    command_ = command;
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\mailto");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\mailto");
  }
  ~MailHandlerAway() {
    if (!had_) return;
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\mailto", L"URL Protocol", REG_SZ, L"", sizeof(wchar_t));
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, kKey, nullptr, REG_SZ, command_.c_str(),
                    static_cast<DWORD>((command_.size() + 1) * sizeof(wchar_t)));
  }
  MailHandlerAway(const MailHandlerAway&) = delete;
  MailHandlerAway& operator=(const MailHandlerAway&) = delete;

 private:
  static constexpr const wchar_t* kKey = L"Software\\Classes\\mailto\\shell\\open\\command";
  bool had_ = false;
  std::wstring command_;
};

// Visible windows of a process other than the launcher's own (an error box, say).
struct StrayQuery {
  DWORD pid;
  HWND window;
  std::vector<std::wstring> titles;
};
BOOL CALLBACK CollectStray(HWND wnd, LPARAM param) {
  auto& q = *reinterpret_cast<StrayQuery*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(wnd, &pid);
  if (pid == q.pid && IsWindowVisible(wnd) && wnd != q.window && wnd != GetWindow(q.window, GW_OWNER))
    q.titles.push_back(TextOf(wnd));
  return TRUE;
}
std::vector<std::wstring> StrayWindows(DWORD pid, HWND window) {
  StrayQuery query{pid, window, {}};
  EnumWindows(CollectStray, reinterpret_cast<LPARAM>(&query));
  return query.titles;
}

// A click on the middle of the e-mail address, as the picture box gets it.
void ClickLink(HWND window) {
  HWND picture = FindWindowExW(window, nullptr, L"KvdPicture", nullptr);
  const LPARAM at = MAKELPARAM((3720 + 990) / 15, (2280 + 90) / 15);  // twips to pixels at 96 dpi
  PostMessageW(picture, WM_MOUSEMOVE, 0, at);
  PostMessageW(picture, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(picture, WM_LBUTTONUP, 0, at);
}

const wchar_t* const kCompanions[] = {L"data\\data1.exe", L"speech.exe", L"data\\data2.exe", L"file\\File.exe"};

std::wstring g_plant_dll;  // a DLL of ours, beside the driver

std::wstring Extended(const std::wstring& path) {
  return path.starts_with(L"\\\\") ? L"\\\\?\\UNC\\" + path.substr(2) : L"\\\\?\\" + path;
}

// Wine reports a program on a share as "UNC\server\share\...".
std::wstring LongForm(std::wstring path) {
  if (path.starts_with(L"UNC\\")) path = L"\\" + path.substr(3);
  std::wstring extended = path.size() < MAX_PATH ? path : Extended(path);
  std::wstring out(32768, L'\0');
  const DWORD n = GetLongPathNameW(extended.c_str(), out.data(), static_cast<DWORD>(out.size()));
  if (n == 0 || n >= out.size()) return path;
  out.resize(n);
  if (out.starts_with(L"\\\\?\\UNC\\")) return L"\\\\" + out.substr(8);
  if (out.starts_with(L"\\\\?\\")) return out.substr(4);
  return out;
}

bool SameFile(const std::wstring& a, const std::wstring& b) { return SamePath(LongForm(a), LongForm(b)); }

// Wine's file copy does not take long paths: a destination past the
// classic limit goes through its folder's 8.3 form.
void CopyInto(const std::wstring& from, const std::wstring& to) {
  std::wstring target = to;
  if (to.size() >= MAX_PATH) {
    const std::wstring folder = to.substr(0, to.find_last_of(L'\\'));
    std::wstring short_folder(32768, L'\0');
    const DWORD n = GetShortPathNameW(Extended(folder).c_str(), short_folder.data(), 32768);
    short_folder.resize(n < 32768 ? n : 0);
    target = short_folder + to.substr(folder.size());
  }
  CopyFileW(from.c_str(), target.c_str(), FALSE);
}

void MakeTree(const std::wstring& path) {
  for (std::size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1))
    CreateDirectoryW(Extended(path.substr(0, at)).c_str(), nullptr);
  CreateDirectoryW(Extended(path).c_str(), nullptr);
}

std::vector<std::wstring> Split(const std::wstring& text, wchar_t by) {
  std::vector<std::wstring> parts;
  for (std::size_t a = 0, b; a < text.size(); a = b + 1) {
    b = text.find(by, a);
    if (b == std::wstring::npos) b = text.size();
    if (b > a) parts.push_back(text.substr(a, b - a));
  }
  return parts;
}

struct RowRun {
  const Row* row;
  std::wstring folder, log;
  Launcher launcher;
  std::vector<std::wstring> findings;  // what went wrong
  std::wstring seen;                   // what started, for the report
  bool wine_took_version = false;      // the media's version.dll was listed: Wine's user32 imports it
  DWORD exit_code = STILL_ACTIVE;
};

// The media of a row: the staged files, less what the row leaves out.
std::wstring Prepare(const Row& row, const std::wstring& stage, const std::wstring& base) {
  std::wstring folder = row.folder;
  if (folder == L"*deep") {
    // Setup.exe's own path stays within the classic limit; most companions' pass it.
    folder = base + L"\\deep";
    while (folder.size() < 247) folder += L"\\" + std::wstring(std::min<std::size_t>(60, 246 - folder.size()), L'k');
  } else if (folder.size() < 2 || (folder[1] != L':' && !folder.starts_with(L"\\\\"))) {
    folder = base + L"\\" + folder;
  }
  folder = TrimSlash(folder);
  const std::wstring inside = folder.back() == L'\\' ? folder : folder + L'\\';
  MakeTree(inside + L"data");
  MakeTree(inside + L"file");
  const auto missing = Split(row.missing, L'|');
  auto left_out = [&missing](const std::wstring& name) {
    for (const auto& m : missing)
      if (m == name || m == name + L"\\") return true;
    return false;
  };
  CopyInto(stage + L"\\Setup.exe", inside + L"Setup.exe");
  for (const wchar_t* c : kCompanions) {
    DeleteFileW(Extended(inside + c).c_str());
    if (!left_out(c)) CopyInto(stage + L"\\" + c, inside + c);
  }
  for (const auto& m : missing)
    if (m.ends_with(L"\\")) MakeTree(inside + m.substr(0, m.size() - 1));
  if (row.decoys) {
    for (const wchar_t* d : {L"speech.exe.exe", L"file\\File.exe.bat", L"data\\data2.exe.exe"})
      CopyInto(stage + L"\\speech.exe", inside + d);
  }
  if (row.plant) {
    for (const wchar_t* name : kPlantNames) CopyInto(g_plant_dll, inside + name + L".dll");
  }
  return folder;
}

// Whether a loaded module imports the named DLL, by its import directory.
bool ImportsDll(HMODULE module, const char* dll) {
  if (module == nullptr) return false;
  const auto* base = reinterpret_cast<const BYTE*>(module);
  const auto* nt =
      reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return false;
  for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name != 0; ++d)
    if (lstrcmpiA(reinterpret_cast<const char*>(base + d->Name), dll) == 0) return true;
  return false;
}

// Wine's user32 imports version.dll; Windows' user32 does not. So under
// Wine a version.dll beside a program is taken while the process is set up,
// before any code of the program runs, whatever the program does. Where the
// user32 at hand imports it, the planted-DLL rows accept version.dll listed
// from the media folder, and say so; any other planted DLL found loaded
// still fails them.
constexpr wchar_t kWineStartImport[] = L"version.dll";

bool User32ImportsVersion() { return ImportsDll(GetModuleHandleW(L"user32.dll"), "version.dll"); }

// What a row expects, as the report states it.
std::wstring Expected(const Row& row, bool user32_imports_version) {
  std::wstring text = row.expect;
  if (row.plant)
    text += user32_imports_version ? L"; no DLL from the media folder but version.dll, which Wine's own user32 imports "
                                     L"(Windows' user32 does not), so that Wine takes it as the process starts, before "
                                     L"any code of Setup.exe runs"
                                   : L"; no DLL from the media folder";
  return text;
}

// Modules of a process that come from its media folder, other than the launcher itself.
std::vector<std::wstring> ModulesFrom(DWORD pid, const std::wstring& folder) {
  std::vector<std::wstring> found;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, pid);
  if (snap == INVALID_HANDLE_VALUE) return found;
  MODULEENTRY32W entry{};
  entry.dwSize = sizeof entry;
  const std::wstring inside = LongForm(folder) + L"\\";
  for (BOOL more = Module32FirstW(snap, &entry); more; more = Module32NextW(snap, &entry)) {
    const std::wstring path = LongForm(entry.szExePath);
    if (path.size() > inside.size() && SameText(path.substr(0, inside.size()), inside) &&
        !SameText(path.substr(path.find_last_of(L'\\') + 1), L"Setup.exe"))
      found.push_back(path);
  }
  CloseHandle(snap);
  return found;
}

struct Process {
  DWORD pid, parent;
  std::wstring name;
};

std::vector<Process> Processes() {
  std::vector<Process> list;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snap, &entry); more; more = Process32NextW(snap, &entry)) {
    // A process that has ended may still be listed for a moment.
    HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
    DWORD code = STILL_ACTIVE;
    if (handle != nullptr) {
      GetExitCodeProcess(handle, &code);
      CloseHandle(handle);
    }
    if (code == STILL_ACTIVE) list.push_back({entry.th32ProcessID, entry.th32ParentProcessID, entry.szExeFile});
  }
  CloseHandle(snap);
  return list;
}

void Post(HWND window, UINT message, WPARAM wparam = 0) { PostMessageW(window, message, wparam, 0); }

void PressButton(HWND button) {
  PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

// Runs the rows side by side and reports each; the result is the number of rows that failed.
int Matrix(const std::wstring& stage, bool quick, const std::wstring& report) {
  // KVD_FAULTS_FOLDER names the matrix's folder under the temporary one: a
  // name in the script of the system's code page, for a run as Windows 9x.
  wchar_t base_name[MAX_PATH] = L"kvd-faults";
  GetEnvironmentVariableW(L"KVD_FAULTS_FOLDER", base_name, MAX_PATH);
  const std::wstring base = TempFolder() + L"\\" + base_name;
  RemoveTree(base);
  CreateDirectoryW(base.c_str(), nullptr);
  const std::wstring decoy = base + L"\\decoy-cwd";
  MakeTree(decoy + L"\\data");
  MakeTree(decoy + L"\\file");
  for (const wchar_t* c : kCompanions) CopyFileW((stage + L"\\" + c).c_str(), (decoy + L"\\" + c).c_str(), FALSE);
  const std::wstring decoy_path = base + L"\\decoy-path";
  MakeTree(decoy_path);
  for (const wchar_t* c : {L"speech.exe", L"data1.exe", L"data2.exe", L"File.exe"})
    CopyFileW((stage + L"\\speech.exe").c_str(), (decoy_path + L"\\" + c).c_str(), FALSE);

  wchar_t path_buf[32768];
  const DWORD n = GetEnvironmentVariableW(L"PATH", path_buf, static_cast<DWORD>(std::size(path_buf)));
  const std::wstring old_path(path_buf, n < std::size(path_buf) ? n : 0);
  std::wstring overrides;
  for (const wchar_t* name : kPlantNames) overrides += std::wstring(overrides.empty() ? L"" : L",") + name;
  overrides += L"=n,b;mscoree=;mshtml=";

  std::optional<MailHandlerAway> no_mail_handler;
  for (const Row& row : kRows)
    if (row.mail && !no_mail_handler) no_mail_handler.emplace();
  std::vector<std::unique_ptr<RowRun>> runs;
  GetDesktopWindow();  // the first window of a Wine session starts its desktop process: not a row's
  Sleep(500);
  const auto before = Processes();
  wchar_t only[1024] = {};  // KVD_ROWS: run only the rows whose name holds one of these texts, '|' between
  GetEnvironmentVariableW(L"KVD_ROWS", only, 1024);
  const auto wanted = Split(only, L'|');
  auto chosen = [&wanted](const Row& row) {
    for (const auto& w : wanted)
      if (std::wstring(row.name).find(w) != std::wstring::npos) return true;
    return wanted.empty();
  };
  for (const Row& row : kRows) {
    if ((quick && !row.quick) || !chosen(row)) continue;
    auto run = std::make_unique<RowRun>();
    run->row = &row;
    run->folder = Prepare(row, stage, base);
    // Beside the driver: a stand-in started from an 8.3 working folder on the
    // media's drive could not open a log on that drive under Wine.
    run->log = g_plant_dll.substr(0, g_plant_dll.find_last_of(L'\\')) + Format(L"\\faults-%zu.log", runs.size());
    DeleteFileW(run->log.c_str());
    SetEnvironmentVariableW(L"KVD_STANDIN_LOG", run->log.c_str());
    SetEnvironmentVariableW(L"PATH", row.decoys ? (decoy_path + L";" + old_path).c_str() : old_path.c_str());
    SetEnvironmentVariableW(L"WINEDLLOVERRIDES", row.plant ? overrides.c_str() : L"mscoree=;mshtml=");
    const std::wstring inside = run->folder.back() == L'\\' ? run->folder : run->folder + L'\\';
    try {
      Start(run->launcher, inside + L"Setup.exe", row.decoys ? decoy : TempFolder());
      if (row.act == Act::CloseGrowing) Post(run->launcher.window, WM_CLOSE);
    } catch (const Abort&) {
      run->findings.push_back(L"did not start");
    }
    runs.push_back(std::move(run));
  }
  SetEnvironmentVariableW(L"PATH", old_path.c_str());
  SetEnvironmentVariableW(L"WINEDLLOVERRIDES", L"mscoree=;mshtml=");
  const long long t0 = NowMs();
  auto at = [t0](long long ms) {
    while (NowMs() < t0 + ms) Sleep(10);
  };

  auto act = [&runs](Act which, const std::function<void(RowRun&)>& what) {
    for (auto& run : runs)
      if (run->row->act == which && run->findings.empty() && run->launcher.Running()) what(*run);
  };
  // DLLs from the media folder, once the window is open and once after OK.
  const bool user32_imports_version = User32ImportsVersion();
  auto check_planted = [&runs, user32_imports_version] {
    for (auto& run : runs)
      if (run->row->plant && run->findings.empty())
        for (const auto& m : ModulesFrom(run->launcher.pi.dwProcessId, run->folder)) {
          if (user32_imports_version && SameFile(m, Join(run->folder, kWineStartImport)))
            run->wine_took_version = true;
          else
            run->findings.push_back(L"loaded " + m);
        }
  };
  // KVD_FAMILY=ansi|unicode: the system calls each launcher must have taken,
  // seen in its window's procedure (an ANSI window on Windows 95, 98 and Me).
  wchar_t family[16] = {};
  GetEnvironmentVariableW(L"KVD_FAMILY", family, 16);
  auto check_family = [&runs, &family] {
    if (family[0] == 0) return;
    const bool want_unicode = std::wstring(family) == L"unicode";
    for (auto& run : runs)
      if (run->findings.empty() && run->launcher.Running() &&
          (IsWindowUnicode(run->launcher.window) != FALSE) != want_unicode)
        run->findings.push_back(std::wstring(L"the window is not ") + (want_unicode ? L"Unicode" : L"ANSI"));
  };
  at(3000);
  check_family();
  check_planted();
  for (auto& run : runs)
    if (run->row->mail && run->findings.empty() && run->launcher.Running()) ClickLink(run->launcher.window);
  act(Act::CloseWaiting, [](RowRun& r) { Post(r.launcher.window, WM_CLOSE); });
  act(Act::EndSession, [](RowRun& r) { Post(r.launcher.window, WM_ENDSESSION, TRUE); });
  for (Act asking : {Act::Cancel, Act::CloseAsking, Act::CloseOwnerAsking})
    act(asking, [](RowRun& r) { PressButton(r.launcher.cancel); });
  at(5000);
  act(Act::Cancel, [](RowRun& r) {
    const HWND box = FindTopWindow(r.launcher.pi.dwProcessId, kQuestionTitle);
    if (box == nullptr)
      r.findings.push_back(L"no question to answer");
    else
      PressButton(GetDlgItem(box, IDOK));
  });
  for (auto& run : runs)
    if (run->row->mail && run->launcher.Running())
      for (const auto& title : StrayWindows(run->launcher.pi.dwProcessId, run->launcher.window))
        run->findings.push_back(L"a window \"" + title + L"\" showed");
  for (Act asking : {Act::CloseAsking, Act::CloseOwnerAsking})
    act(asking, [asking](RowRun& r) {
      if (!FindTopWindow(r.launcher.pi.dwProcessId, kQuestionTitle)) r.findings.push_back(L"no question to close");
      Post(asking == Act::CloseAsking ? r.launcher.window : GetWindow(r.launcher.window, GW_OWNER), WM_CLOSE);
    });
  at(16500);
  act(Act::CloseReady, [](RowRun& r) {
    if (!IsWindowEnabled(r.launcher.ok)) r.findings.push_back(L"OK was not available");
    Post(r.launcher.window, WM_CLOSE);
  });
  for (Act ok : {Act::Install, Act::CloseAfterOk}) act(ok, [](RowRun& r) { PressButton(r.launcher.ok); });
  at(19000);
  check_planted();
  act(Act::CloseAfterOk, [](RowRun& r) { Post(r.launcher.window, WM_CLOSE); });
  at(43000);

  // What each row saw.
  int failed = 0;
  const auto after = Processes();
  for (auto& run : runs) {
    RowRun& r = *run;
    if (r.launcher.pi.hProcess != nullptr) {
      if (r.launcher.Running(2000)) r.findings.push_back(L"the launcher was still running");
      r.exit_code = r.launcher.ExitCode();
      if (r.exit_code != 0) r.findings.push_back(Format(L"exit status %lu", r.exit_code));
    }
    const auto records = ReadLog(r.log);
    DeleteFileW(r.log.c_str());
    std::wstring order;
    for (const auto& rec : records) {
      order += rec.Name() + L" ";
      bool ours = false;
      for (const wchar_t* c : kCompanions)
        if (SameText(rec.Name(), std::wstring(c).substr(std::wstring(c).find_last_of(L'\\') + 1)))
          ours = SameFile(rec.module, r.folder + L"\\" + c) || SameFile(rec.module, r.folder + c);
      if (!ours)
        r.findings.push_back(L"started " + rec.module);
      else if (!SameFile(rec.cwd, r.folder))
        r.findings.push_back(L"working folder " + rec.cwd);
    }
    if (!SameText(order, r.row->expect))
      r.findings.push_back(L"started \"" + order + L"\", not \"" + r.row->expect + L"\"");
    r.seen = order.empty() ? L"nothing" : order;
    if (r.wine_took_version) r.seen += L"; version.dll listed from the media folder (Wine's user32 import)";
    // The row's own processes still alive: its launcher, or what the shell started for it.
    for (const auto& p : after) {
      bool old = false;
      for (const auto& b : before) old = old || b.pid == p.pid;
      if (!old && (p.pid == r.launcher.pi.dwProcessId || p.parent == r.launcher.pi.dwProcessId))
        r.findings.push_back(L"left behind: " + p.name);
    }
    std::wstring verdict;
    for (const auto& f : r.findings) verdict += (verdict.empty() ? L"" : L"; ") + f;
    Check(r.findings.empty(), std::wstring(r.row->name) + L": " + r.seen + (verdict.empty() ? L"" : L" -- " + verdict));
    failed += r.findings.empty() ? 0 : 1;
  }

  if (!report.empty()) {
    std::string md =
        "# Reliability: the shell boundary\n\n"
        "Written by `script/faults`: every row runs the staged Setup.exe under Wine from media prepared as the row "
        "says. *Expected* lists the companions that must start, in order, each from the media folder with the media "
        "folder as its working folder, with exit status 0 and no process left behind; *seen* is what the stand-ins "
        "recorded.\n\n| row | media folder | expected | seen | verdict |\n|---|---|---|---|---|\n";
    for (auto& run : runs) {
      std::wstring verdict = L"pass";
      if (!run->findings.empty()) {
        verdict = L"FAIL:";
        for (const auto& f : run->findings) verdict += L" " + f;
      }
      std::wstring folder = run->folder;
      if (folder.size() > 60)
        folder = folder.substr(0, 28) + L"…" + folder.substr(folder.size() - 28) +
                 Format(L" (%zu characters)", run->folder.size());
      md += windows::Narrow(L"| " + std::wstring(run->row->name) + L" | `" + folder + L"` | " +
                            Expected(*run->row, user32_imports_version) + L" | " + run->seen + L" | " + verdict +
                            L" |\n");
    }
    FILE* out = _wfopen(report.c_str(), L"wb");
    if (out != nullptr) {
      std::fwrite(md.data(), 1, md.size(), out);
      std::fclose(out);
    }
  }
  if (GetEnvironmentVariableW(L"KVD_KEEP", nullptr, 0) == 0) RemoveTree(base);
  return failed;
}

// For script/run: acts on a launcher that is already running (any process),
// as a user would: "press-ok" waits until OK is available and presses it,
// "quit" presses Cancel and answers OK.
int Operate(const std::wstring& action) {
  HWND window = nullptr;
  Require(WaitFor([&] { return (window = FindWindowW(nullptr, kCaption)) != nullptr; }, 30000),
          Format(L"found the window \"%ls\"", kCaption));
  HWND ok = nullptr, cancel = nullptr;
  Require(
      WaitFor([&] { return (ok = FindButton(window, kOkText)) && (cancel = FindButton(window, kCancelText)); }, 5000),
      L"the window has the buttons 确定 and 取消");
  if (action == L"press-ok") {
    Require(WaitFor([&] { return IsWindowEnabled(ok) != 0; }, 30000), L"OK became available");
    Click(window, ok);
    Check(WaitFor([&] { return !IsWindowEnabled(ok); }, 3000), L"pressed OK");
  } else {
    Click(window, cancel);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HWND box = WaitForQuestion(pid);
    Click(box, GetDlgItem(box, IDOK));
  }
  return g_failures;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && (std::wstring(argv[1]) == L"press-ok" || std::wstring(argv[1]) == L"quit")) {
    try {
      return Operate(argv[1]);
    } catch (const Abort&) {
      return g_failures;
    }
  }
  if (argc >= 4 && std::wstring(argv[1]) == L"matrix") {
    // e2e_driver matrix quick|all <stage folder> [report.md]
    wchar_t self[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    g_plant_dll = std::wstring(self, n).substr(0, std::wstring(self, n).find_last_of(L'\\')) + L"\\kvd_plant.dll";
    const int failed =
        Matrix(WindowsPath(argv[3]), std::wstring(argv[2]) == L"quick", argc > 4 ? WindowsPath(argv[4]) : L"");
    Say(failed ? "== FAILED" : "== passed", Format(L"%d row(s) failed", failed));
    return failed;
  }
  if (argc != 3) {
    std::fprintf(stderr,
                 "usage: e2e_driver install|cancel|odd-folder|close-asking|cdrom <stage folder>\n"
                 "       e2e_driver matrix quick|all <stage folder> [report.md]\n"
                 "       e2e_driver press-ok|quit   (on a launcher already running)\n");
    return 100;
  }
  const std::wstring scenario = argv[1];
  const std::wstring stage = WindowsPath(argv[2]);
  Say("==", scenario + L" in " + stage);
  for (const wchar_t* name : {L"Setup.exe", L"speech.exe", L"data\\data1.exe", L"data\\data2.exe", L"file\\File.exe"})
    if (!Check(Exists(Join(stage, name)), std::wstring(L"staged ") + name)) return g_failures;
  const long long began = NowMs();
  try {
    if (scenario == L"install")
      Install(stage);
    else if (scenario == L"cancel")
      Cancel(stage);
    else if (scenario == L"odd-folder")
      OddFolder(stage);
    else if (scenario == L"close-asking")
      CloseWhileAsking(stage);
    else if (scenario == L"cdrom") {
      Require(GetDriveTypeW(stage.c_str()) == DRIVE_CDROM, stage + L" is a CD-ROM drive");
      Install(stage);
    } else
      Require(false, L"known scenario " + scenario);
  } catch (const Abort&) {
    Say("FAIL", L"scenario abandoned");
  }
  Say(g_failures ? "== FAILED" : "== passed", Format(L"%d failed check(s), %lld ms", g_failures, NowMs() - began));
  return g_failures;
}
