// Stand-in for a companion program that ships beside the launcher on the
// installation media ("data\data1.exe", "speech.exe", "data\data2.exe" and
// the installer "file\File.exe"). The real companions are not ours; this one
// only notes that it was started, so that a run of the launcher can be
// checked afterwards, and exits at once without showing anything.
//
// One line is appended per start, UTF-8, fields separated by tabs:
//   <UTC time, yyyy-mm-ddThh:mm:ss.mmmZ> TAB <own module path> TAB <working directory> TAB <process id>
// to the file named by KVD_STANDIN_LOG, or %TEMP%\keyvandor-standins.log.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "windows/text.h"

namespace {

std::wstring EnvOr(const wchar_t* name, std::wstring fallback) {
  wchar_t buf[32768];
  const DWORD n = GetEnvironmentVariableW(name, buf, static_cast<DWORD>(std::size(buf)));
  if (n == 0 || n >= std::size(buf)) return fallback;
  return std::wstring(buf, n);
}

std::wstring LogPath() {
  std::wstring path = EnvOr(L"KVD_STANDIN_LOG", L"");
  if (!path.empty()) return path;
  wchar_t temp[MAX_PATH + 1];
  const DWORD n = GetTempPathW(static_cast<DWORD>(std::size(temp)), temp);
  std::wstring dir = (n > 0 && n < std::size(temp)) ? std::wstring(temp, n) : std::wstring(L".\\");
  if (dir.back() != L'\\') dir += L'\\';
  return dir + L"keyvandor-standins.log";
}

std::wstring ModulePath() {
  std::wstring path(32768, L'\0');
  const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(n);
  return path;
}

std::wstring WorkingDirectory() {
  std::wstring dir(32768, L'\0');
  const DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(dir.size()), dir.data());
  dir.resize(n < dir.size() ? n : 0);
  return dir;
}

std::wstring NowUtc() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  SYSTEMTIME st;
  FileTimeToSystemTime(&ft, &st);
  wchar_t text[40];
  std::swprintf(text, std::size(text), L"%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", st.wYear, st.wMonth, st.wDay, st.wHour,
                st.wMinute, st.wSecond, st.wMilliseconds);
  return text;
}

// Companions may start within milliseconds of each other; each line goes out
// in one append-only write, retried while another stand-in holds the file.
bool AppendLine(const std::wstring& path, const std::string& line) {
  for (int attempt = 0; attempt < 200; ++attempt) {
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      const BOOL ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
      CloseHandle(file);
      return ok && written == line.size();
    }
    Sleep(10);
  }
  return false;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  const std::wstring line = NowUtc() + L"\t" + ModulePath() + L"\t" + WorkingDirectory() + L"\t" +
                            std::to_wstring(GetCurrentProcessId()) + L"\n";
  return AppendLine(LogPath(), windows::Narrow(line)) ? 0 : 1;
}
