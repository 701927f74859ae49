// The two tables of calls with text: the NT family's holds the system's own
// Unicode functions, each in its place; the ANSI forms (those of Windows 95,
// 98 and Me) give the same answers as the Unicode ones, run here on the NT family.
#include "forms/win32/system_calls.h"

#include <gtest/gtest.h>

#include <string>

namespace kvd_test {
namespace {

using forms::win32::AnsiCalls;
using forms::win32::SystemCalls;
using forms::win32::UnicodeCalls;

FARPROC Export(const char* library, const char* name) { return GetProcAddress(GetModuleHandleA(library), name); }

template <class Function>
FARPROC Generic(Function* function) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

TEST(SystemCalls, TheUnicodeTableHoldsEachFunctionInItsPlace) {
  const SystemCalls calls = UnicodeCalls();
  const bool k64 = sizeof(void*) == 8;
  const struct {
    FARPROC in_table;
    const char* library;
    const char* name;
  } rows[] = {
      {Generic(calls.register_class), "user32.dll", "RegisterClassExW"},
      {Generic(calls.create_window), "user32.dll", "CreateWindowExW"},
      {Generic(calls.def_window_proc), "user32.dll", "DefWindowProcW"},
      {Generic(calls.call_window_proc), "user32.dll", "CallWindowProcW"},
      {Generic(calls.get_message), "user32.dll", "GetMessageW"},
      {Generic(calls.peek_message), "user32.dll", "PeekMessageW"},
      {Generic(calls.dispatch_message), "user32.dll", "DispatchMessageW"},
      {Generic(calls.send_message), "user32.dll", "SendMessageW"},
      {Generic(calls.get_window_long), "user32.dll", k64 ? "GetWindowLongPtrW" : "GetWindowLongW"},
      {Generic(calls.set_window_long), "user32.dll", k64 ? "SetWindowLongPtrW" : "SetWindowLongW"},
      {Generic(calls.set_window_text), "user32.dll", "SetWindowTextW"},
      {Generic(calls.load_image), "user32.dll", "LoadImageW"},
      {Generic(calls.create_font), "gdi32.dll", "CreateFontIndirectW"},
      {Generic(calls.glyph_outline), "gdi32.dll", "GetGlyphOutlineW"},
      {Generic(calls.module_file_name), "kernel32.dll", "GetModuleFileNameW"},
      {Generic(calls.file_attributes), "kernel32.dll", "GetFileAttributesW"},
      {Generic(calls.short_path_name), "kernel32.dll", "GetShortPathNameW"},
      {Generic(calls.current_directory), "kernel32.dll", "GetCurrentDirectoryW"},
      {Generic(calls.set_current_directory), "kernel32.dll", "SetCurrentDirectoryW"},
      {Generic(calls.system_directory), "kernel32.dll", "GetSystemDirectoryW"},
      {Generic(calls.load_library_ex), "kernel32.dll", "LoadLibraryExW"},
  };
  for (const auto& row : rows) EXPECT_EQ(row.in_table, Export(row.library, row.name)) << row.name;
}

// Folders and files: sizes as the Unicode forms give them, long-path forms
// understood, a library loaded by its full path.
TEST(SystemCalls, TheAnsiFormsAnswerAsTheUnicodeOnesDo) {
  const SystemCalls ansi = AnsiCalls(), wide = UnicodeCalls();
  wchar_t a[MAX_PATH], w[MAX_PATH];
  EXPECT_EQ(ansi.current_directory(0, nullptr), wide.current_directory(0, nullptr));
  EXPECT_EQ(ansi.current_directory(2, a), wide.current_directory(2, w));  // too short: the size needed
  ASSERT_EQ(ansi.current_directory(MAX_PATH, a), wide.current_directory(MAX_PATH, w));
  EXPECT_STREQ(a, w);
  ASSERT_EQ(ansi.module_file_name(nullptr, a, MAX_PATH), wide.module_file_name(nullptr, w, MAX_PATH));
  EXPECT_STREQ(a, w);
  const UINT length = ansi.system_directory(a, MAX_PATH);
  ASSERT_GT(length, 0u);
  const std::wstring system(a, length);
  for (const std::wstring& form : {system, L"\\\\?\\" + system})
    EXPECT_EQ(ansi.file_attributes(form.c_str()), GetFileAttributesW(system.c_str())) << form;
  const std::wstring library = system + L"\\version.dll";
  const HMODULE loaded = ansi.load_library_ex(library.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  EXPECT_NE(loaded, nullptr);
  EXPECT_EQ(loaded, wide.load_library_ex(library.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

TEST(SystemCalls, AWindowMadeByTheAnsiFormsKeepsItsCaption) {
  const SystemCalls ansi = AnsiCalls();
  const HWND window = ansi.create_window(0, L"STATIC", L"Setup", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                         GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  wchar_t caption[32] = {};
  GetWindowTextW(window, caption, 32);
  EXPECT_STREQ(caption, L"Setup");
  ansi.set_window_text(window, L"Keyvandor");
  GetWindowTextW(window, caption, 32);
  EXPECT_STREQ(caption, L"Keyvandor");
  DestroyWindow(window);
}

}  // namespace
}  // namespace kvd_test
