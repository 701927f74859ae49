#include "windows/system_calls.h"

#include <cstddef>
#include <cstring>
#include <iterator>
#include <memory>

#include "windows/system_library.h"

namespace windows {
namespace {

// Text for an ANSI form, in the system's code page: a character the code
// page lacks becomes its default character, as every program of those
// systems shows it. No text and resource numbers (MAKEINTRESOURCE) pass as
// they are.
class Ansi {
 public:
  explicit Ansi(const wchar_t* text) : as_is_(reinterpret_cast<const char*>(text)) {
    if (text == nullptr || IS_INTRESOURCE(text)) return;
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    text_.reset(new char[size > 0 ? size : 1]{});
    as_is_ = text_.get();
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, text_.get(), size, nullptr, nullptr);
  }
  operator const char*() const noexcept { return as_is_; }

  // Those systems know no long-path form (\\?\C:\..., \\?\UNC\server\...);
  // their paths are short enough without it.
  Ansi& Path() noexcept {
    if (std::strncmp(as_is_, "\\\\?\\UNC\\", 8) == 0)
      as_is_ = &(text_[6] = '\\');  // \\server\...
    else if (std::strncmp(as_is_, "\\\\?\\", 4) == 0)
      as_is_ += 4;
    return *this;
  }

 private:
  const char* as_is_;
  std::unique_ptr<char[]> text_;
};

// A text an ANSI form gave (its length), as Unicode in the caller's buffer:
// the length written, or the size needed (with its zero) when the buffer is short.
DWORD Deliver(const char* text, DWORD length, wchar_t* out, DWORD size) {
  if (length == 0 || length >= MAX_PATH) return 0;
  const int needed = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (needed <= 0) return 0;
  if (out == nullptr || static_cast<DWORD>(needed) > size) return static_cast<DWORD>(needed);
  ::MultiByteToWideChar(CP_ACP, 0, text, -1, out, needed);
  return static_cast<DWORD>(needed - 1);
}

ATOM WINAPI RegisterClassAnsi(const WNDCLASSEXW* cls) {
  static_assert(sizeof(WNDCLASSEXA) == sizeof(WNDCLASSEXW));
  const Ansi menu(cls->lpszMenuName), name(cls->lpszClassName);
  WNDCLASSEXA ansi;
  std::memcpy(&ansi, cls, sizeof ansi);  // the same fields, the names aside
  ansi.lpszMenuName = menu;
  ansi.lpszClassName = name;
  return ::RegisterClassExA(&ansi);
}

HWND WINAPI CreateWindowAnsi(DWORD ex_style, const wchar_t* cls, const wchar_t* title, DWORD style, int x, int y,
                             int width, int height, HWND parent, HMENU menu, HINSTANCE module, void* param) {
  return ::CreateWindowExA(ex_style, Ansi(cls), Ansi(title), style, x, y, width, height, parent, menu, module, param);
}

BOOL WINAPI SetWindowTextAnsi(HWND window, const wchar_t* text) { return ::SetWindowTextA(window, Ansi(text)); }

HANDLE WINAPI LoadImageAnsi(HINSTANCE module, const wchar_t* name, UINT type, int width, int height, UINT flags) {
  return ::LoadImageA(module, Ansi(name), type, width, height, flags);
}

// The face name in the system's code page: "宋体" on a Chinese system.
HFONT WINAPI CreateFontAnsi(const LOGFONTW* font) {
  LOGFONTA ansi;
  std::memcpy(&ansi, font, offsetof(LOGFONTA, lfFaceName));
  ::WideCharToMultiByte(CP_ACP, 0, font->lfFaceName, -1, ansi.lfFaceName, LF_FACESIZE, nullptr, nullptr);
  ansi.lfFaceName[LF_FACESIZE - 1] = '\0';
  return ::CreateFontIndirectA(&ansi);
}

// The ANSI form takes the character's code in the system's code page, a
// double-byte one with its lead byte high. A character the code page lacks
// has no glyph of its own here.
DWORD WINAPI GlyphOutlineAnsi(HDC dc, UINT character, UINT format, GLYPHMETRICS* metrics, DWORD size, void* buffer,
                              const MAT2* matrix) {
  const wchar_t wide = static_cast<wchar_t>(character);
  unsigned char bytes[2];
  BOOL lacking = FALSE;
  const int length = ::WideCharToMultiByte(CP_ACP, 0, &wide, 1, reinterpret_cast<char*>(bytes), 2, nullptr, &lacking);
  if (length <= 0 || lacking) return GDI_ERROR;
  const UINT code = length == 2 ? (UINT{bytes[0]} << 8 | bytes[1]) : bytes[0];
  return ::GetGlyphOutlineA(dc, code, format, metrics, size, buffer, matrix);
}

DWORD WINAPI ModuleFileNameAnsi(HMODULE module, wchar_t* out, DWORD size) {
  char text[MAX_PATH];
  return Deliver(text, ::GetModuleFileNameA(module, text, MAX_PATH), out, size);
}

DWORD WINAPI FileAttributesAnsi(const wchar_t* path) { return ::GetFileAttributesA(Ansi(path).Path()); }

DWORD WINAPI ShortPathNameAnsi(const wchar_t* path, wchar_t* out, DWORD size) {
  char text[MAX_PATH];
  return Deliver(text, ::GetShortPathNameA(Ansi(path).Path(), text, MAX_PATH), out, size);
}

DWORD WINAPI CurrentDirectoryAnsi(DWORD size, wchar_t* out) {
  char text[MAX_PATH];
  return Deliver(text, ::GetCurrentDirectoryA(MAX_PATH, text), out, size);
}

BOOL WINAPI SetCurrentDirectoryAnsi(const wchar_t* path) { return ::SetCurrentDirectoryA(Ansi(path).Path()); }

UINT WINAPI SystemDirectoryAnsi(wchar_t* out, UINT size) {
  char text[MAX_PATH];
  return Deliver(text, ::GetSystemDirectoryA(text, MAX_PATH), out, size);
}

// The search flags (LOAD_LIBRARY_SEARCH_...) come only where the system
// knows them (SystemHasSearchFlags), and there its ANSI form knows them too;
// Windows 95, 98 and Me never get them.
HMODULE WINAPI LoadLibraryExAnsi(const wchar_t* name, HANDLE file, DWORD flags) {
  return ::LoadLibraryExA(Ansi(name), file, flags);
}

template <class Function>
bool FindShellFunction(const char* name, Function*& function, SHELLEXECUTEINFOW* info) {
  FindFunction(LoadSystemLibrary(L"shell32.dll"), name, function);
  if (function == nullptr) info->hInstApp = reinterpret_cast<HINSTANCE>(SE_ERR_FNF);
  return function != nullptr;
}

BOOL WINAPI ShellExecuteUnicode(SHELLEXECUTEINFOW* info) {
  decltype(&::ShellExecuteExW) execute = nullptr;
  return FindShellFunction("ShellExecuteExW", execute, info) && execute(info);
}

BOOL WINAPI ShellExecuteAnsi(SHELLEXECUTEINFOW* info) {
  static_assert(sizeof(SHELLEXECUTEINFOA) == sizeof(SHELLEXECUTEINFOW));
  decltype(&::ShellExecuteExA) execute = nullptr;
  if (!FindShellFunction("ShellExecuteExA", execute, info)) return FALSE;
  const Ansi verb(info->lpVerb), file(info->lpFile), parameters(info->lpParameters), directory(info->lpDirectory),
      cls(info->lpClass);
  SHELLEXECUTEINFOA ansi;
  std::memcpy(&ansi, info, sizeof ansi);  // the same fields, the texts aside
  ansi.lpVerb = verb;
  ansi.lpFile = file;
  ansi.lpParameters = parameters;
  ansi.lpDirectory = directory;
  ansi.lpClass = cls;
  const BOOL started = execute(&ansi);
  info->hInstApp = ansi.hInstApp;
  info->hProcess = ansi.hProcess;
  return started;
}

// The export of a library the program has loaded (user32, gdi32, kernel32).
FARPROC SystemExport(const char* library, const char* name) {
  return ::GetProcAddress(::GetModuleHandleA(library), name);
}

// The Unicode exports in the table's order, each as its library's name and
// its own: "user32.dll\0RegisterClassExW".
constexpr const char* kUnicodeExports[] = {
#define KVD_UNICODE_EXPORT(field, library, unicode, ansi, type) library "\0" unicode,
    KVD_SYSTEM_CALLS(KVD_UNICODE_EXPORT)
#undef KVD_UNICODE_EXPORT
};

// An export as the entry's own type, through the generic function type: the
// signatures differ.
template <class Function>
void As(FARPROC found, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

// Decided once, when the program starts: GetVersion's high bit marks
// Windows 95, 98 and Me.
const SystemCalls kCalls = (::GetVersion() & 0x80000000u) != 0 ? AnsiCalls() : UnicodeCalls();

}  // namespace

SystemCalls AnsiCalls() {
  return {
#define KVD_ANSI_FORM(field, library, unicode, ansi, type) .field = ansi,
      KVD_SYSTEM_CALLS(KVD_ANSI_FORM)
#undef KVD_ANSI_FORM
          .shell_execute = ShellExecuteAnsi};
}

SystemCalls UnicodeCalls() { return UnicodeCalls(SystemExport); }

// The system's own Unicode functions, looked up rather than imported, so
// that Setup.exe also loads where they are missing. Any one missing, the
// whole table is ANSI, never a mix: a window takes its messages in the form
// its class was registered in, and a message got in one form and dispatched
// or passed on in the other has its text converted on the way or misread (a
// Unicode WM_CHAR dispatched as ANSI). The ANSI table is the whole family
// Windows 95, 98 and Me run, tested as such; no system runs a mix.
SystemCalls UnicodeCalls(FindExport find) {
  FARPROC found[std::size(kUnicodeExports)];
  for (std::size_t i = 0; i < std::size(found); ++i) {
    const char* library = kUnicodeExports[i];
    found[i] = find(library, library + std::strlen(library) + 1);
    if (found[i] == nullptr) return AnsiCalls();
  }
  SystemCalls calls;
  const FARPROC* next = found;
#define KVD_UNICODE_FORM(field, library, unicode, ansi, type) As(*next++, calls.field);
  KVD_SYSTEM_CALLS(KVD_UNICODE_FORM)
#undef KVD_UNICODE_FORM
  calls.shell_execute = ShellExecuteUnicode;
  return calls;
}

const SystemCalls& Calls() { return kCalls; }

}  // namespace windows
