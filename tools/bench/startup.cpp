// Measures how long the launcher takes from process start to its first
// visible strip: starts Setup.exe a number of times, waits for its window to
// show, closes it, and prints the minimum, median and maximum.
//
//   startup_bench <Setup.exe> [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Query {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK MatchVisible(HWND window, LPARAM param) {
  auto& query = *reinterpret_cast<Query*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  wchar_t caption[64];
  if (pid == query.pid && IsWindowVisible(window) && GetWindowTextW(window, caption, 64) > 0 &&
      std::wcscmp(caption, L"安装Keyvandor") == 0) {
    query.found = window;
    return FALSE;
  }
  return TRUE;
}

// One start: milliseconds until the window is visible, or a negative value.
double TimeOneStart(const std::wstring& exe) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring command = L"\"" + exe + L"\"";
  LARGE_INTEGER began, shown;
  QueryPerformanceCounter(&began);
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return -1;
  Query query{process.dwProcessId, nullptr};
  double ms = -1;
  for (int i = 0; i < 20000 && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT; ++i) {
    EnumWindows(MatchVisible, reinterpret_cast<LPARAM>(&query));
    if (query.found != nullptr) {
      QueryPerformanceCounter(&shown);
      ms = Seconds(began, shown) * 1000.0;
      break;
    }
    Sleep(1);
  }
  if (query.found != nullptr) PostMessageW(query.found, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 10000) == WAIT_TIMEOUT) TerminateProcess(process.hProcess, 99);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ms;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: startup_bench <Setup.exe> [runs]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 10;
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const double ms = TimeOneStart(argv[1]);
    if (ms < 0) {
      std::fprintf(stderr, "run %d: the window never showed\n", i + 1);
      return 1;
    }
    times.push_back(ms);
  }
  std::sort(times.begin(), times.end());
  std::printf("start to visible strip over %d runs: min %.1f ms, median %.1f ms, max %.1f ms\n", runs, times.front(),
              times[times.size() / 2], times.back());
  return 0;
}
