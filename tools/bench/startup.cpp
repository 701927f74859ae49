// Measures how long programs take from process start to their first visible
// window and to their first painted frame, interleaved (one start of each program per round, so that a busy
// machine weighs on all of them alike), and prints a Markdown table of the
// median, the minimum and the ratio of each median to the first program's.
// Then, for the program named "Setup.exe": the distinct window sizes an
// observer polling every millisecond sees during the opening, and the CPU
// time it uses over 10 seconds once open.
//
//   startup_bench <samples> <name>=<exe> [<name>=<exe> ...]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Target {
  std::wstring name;
  std::wstring exe;
  std::vector<double> ms;
  std::vector<double> painted_ms;
};

struct Started {
  PROCESS_INFORMATION process{};
  HWND window = nullptr;
  double ms = -1;
  double painted_ms = -1;
};

double NowMs() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct Query {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK MatchVisible(HWND window, LPARAM param) {
  auto& query = *reinterpret_cast<Query*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == query.pid && IsWindowVisible(window)) {
    query.found = window;
    return FALSE;
  }
  return TRUE;
}

// The colour at the centre of the window on screen.
COLORREF CentrePixel(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  const HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  ReleaseDC(nullptr, screen);
  return colour;
}

// Waits until the window's centre pixel shows what the program paints there:
// any colour but black, which a window shows under Wine until it is painted
// (the launcher's strip shows its artwork there, the bare popup its colour).
double WaitForPaint(HWND window, double began) {
  while (NowMs() - began < 20000) {
    const COLORREF colour = CentrePixel(window);
    if (colour != CLR_INVALID && colour != RGB(0, 0, 0)) return NowMs() - began;
    Sleep(0);
  }
  return -1;
}

// Starts exe and waits until a window of its process is visible, then until
// its first frame is painted.
Started Start(const std::wstring& exe) {
  Started run;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring command = L"\"" + exe + L"\"";
  const double began = NowMs();
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &run.process))
    return run;
  Query query{run.process.dwProcessId, nullptr};
  while (NowMs() - began < 20000 && WaitForSingleObject(run.process.hProcess, 0) == WAIT_TIMEOUT) {
    EnumWindows(MatchVisible, reinterpret_cast<LPARAM>(&query));
    if (query.found != nullptr) {
      run.ms = NowMs() - began;
      run.window = query.found;
      run.painted_ms = WaitForPaint(run.window, began);
      break;
    }
    Sleep(1);
  }
  return run;
}

void Stop(Started& run) {
  if (run.process.hProcess == nullptr) return;
  if (run.window != nullptr) PostMessageW(run.window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(run.process.hProcess, 5000) == WAIT_TIMEOUT) TerminateProcess(run.process.hProcess, 99);
  CloseHandle(run.process.hThread);
  CloseHandle(run.process.hProcess);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 != 0 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double CpuMs(HANDLE process) {
  FILETIME created, ended, kernel, user;
  GetProcessTimes(process, &created, &ended, &kernel, &user);
  const auto ms = [](FILETIME t) {
    return static_cast<double>(static_cast<ULONGLONG>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

// The opening seen from outside, then the CPU used while open.
void ObserveOpening(const std::wstring& exe) {
  Started run = Start(exe);
  if (run.window == nullptr) {
    std::printf("\nThe window never showed.\n");
    Stop(run);
    return;
  }
  std::vector<SIZE> sizes;
  double stable_since = NowMs();
  while (NowMs() - stable_since < 1000) {
    RECT r;
    GetWindowRect(run.window, &r);
    const SIZE size{r.right - r.left, r.bottom - r.top};
    if (sizes.empty() || sizes.back().cx != size.cx || sizes.back().cy != size.cy) {
      sizes.push_back(size);
      stable_since = NowMs();
    }
    Sleep(1);
  }
  const double cpu_before = CpuMs(run.process.hProcess);
  Sleep(10000);
  const double cpu_used = CpuMs(run.process.hProcess) - cpu_before;
  std::printf(
      "\nOpening of Setup.exe, polled every millisecond: %zu distinct window sizes, from %ld x %ld to %ld x %ld.\n",
      sizes.size(), sizes.front().cx, sizes.front().cy, sizes.back().cx, sizes.back().cy);
  std::printf("CPU time of Setup.exe over 10 s once open: %.1f ms (%.1f ms from its start until open).\n", cpu_used,
              cpu_before);
  Stop(run);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_bench <samples> <name>=<exe> [<name>=<exe> ...]\n");
    return 2;
  }
  const int samples = std::max(1, _wtoi(argv[1]));
  std::vector<Target> targets;
  for (int i = 2; i < argc; ++i) {
    const std::wstring arg = argv[i];
    const std::size_t equals = arg.find(L'=');
    if (equals == std::wstring::npos) return 2;
    targets.push_back({arg.substr(0, equals), arg.substr(equals + 1), {}, {}});
  }
  for (const Target& target : targets) {  // one start each first, to warm the caches
    Started warm = Start(target.exe);
    Stop(warm);
  }
  // Each round starts with the next program in turn, and each start waits
  // for what the one before left running (its exit, a companion it started)
  // to settle: no program is always the one that follows a given other.
  for (int round = 0; round < samples; ++round) {
    for (std::size_t i = 0; i < targets.size(); ++i) {
      Target& target = targets[(round + i) % targets.size()];
      Sleep(300);
      Started run = Start(target.exe);
      Stop(run);
      if (run.ms < 0) {
        std::fprintf(stderr, "%ls: the window never showed\n", target.name.c_str());
        return 1;
      }
      target.ms.push_back(run.ms);
      if (run.painted_ms < 0) {
        std::fprintf(stderr, "%ls: the window was never painted\n", target.name.c_str());
        return 1;
      }
      target.painted_ms.push_back(run.painted_ms);
    }
  }
  std::printf("Start to first visible window, %d samples each, interleaved in turn:\n\n", samples);
  std::printf("| program | median ms | min ms | median / %ls |\n|---|---:|---:|---:|\n", targets[0].name.c_str());
  const double reference = Median(targets[0].ms);
  for (const Target& target : targets)
    std::printf("| %ls | %.1f | %.1f | %.2f |\n", target.name.c_str(), Median(target.ms),
                *std::min_element(target.ms.begin(), target.ms.end()), Median(target.ms) / reference);
  std::printf("\nStart to first painted frame (the window's centre pixel painted), the same starts:\n\n");
  std::printf("| program | median ms | min ms | median / %ls |\n|---|---:|---:|---:|\n", targets[0].name.c_str());
  const double painted_reference = Median(targets[0].painted_ms);
  for (const Target& target : targets)
    std::printf("| %ls | %.1f | %.1f | %.2f |\n", target.name.c_str(), Median(target.painted_ms),
                *std::min_element(target.painted_ms.begin(), target.painted_ms.end()),
                Median(target.painted_ms) / painted_reference);
  for (const Target& target : targets)
    if (target.name == L"Setup.exe") ObserveOpening(target.exe);
  return 0;
}
