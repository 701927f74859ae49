// The two tables of calls with text, both made from the one list: the NT
// family's holds the system's own Unicode functions the list names, and is
// the ANSI table as a whole where any one is missing; the ANSI forms (those
// of Windows 95, 98 and Me) give the same answers as the Unicode ones, run
// here on the NT family.
#include "windows/system_calls.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace kvd_test {
namespace {

using windows::AnsiCalls;
using windows::SystemCalls;
using windows::UnicodeCalls;

FARPROC Export(const char* library, const char* name) { return GetProcAddress(GetModuleHandleA(library), name); }

template <class Function>
FARPROC Generic(Function* function) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

// The function a table holds. One made when the program is built holds a
// system function by the program's jump to its import slot (jmp [slot]).
FARPROC Target(FARPROC function) {
  const auto* code = reinterpret_cast<const unsigned char*>(function);
  if (code == nullptr || code[0] != 0xFF || code[1] != 0x25) return function;
  std::int32_t operand;
  std::memcpy(&operand, code + 2, sizeof operand);
  const auto* slot = sizeof(void*) == 8 ? code + 6 + operand
                                        : reinterpret_cast<const unsigned char*>(static_cast<std::uint32_t>(operand));
  FARPROC target;
  std::memcpy(&target, slot, sizeof target);
  return target;
}

// Each function of a table, in the list's order, the shell's start last.
std::vector<FARPROC> Functions(const SystemCalls& calls) {
#define KVD_FUNCTION(field, library, unicode, ansi_form, type) Target(Generic(calls.field)),
  return {KVD_SYSTEM_CALLS(KVD_FUNCTION) Generic(calls.shell_execute)};
#undef KVD_FUNCTION
}

struct Entry {
  const char* field;
  const char* library;
  const char* unicode;
};
#define KVD_ENTRY(field, library, unicode, ansi_form, type) {#field, library, unicode},
constexpr Entry kEntries[] = {KVD_SYSTEM_CALLS(KVD_ENTRY)};
#undef KVD_ENTRY

TEST(SystemCalls, EachTableHoldsItsOwnFamily) {
  const std::vector<FARPROC> wide = Functions(UnicodeCalls()), ansi = Functions(AnsiCalls());
  std::set<FARPROC> unicode;
  for (std::size_t i = 0; i < std::size(kEntries); ++i) {
    EXPECT_EQ(wide[i], Target(Export(kEntries[i].library, kEntries[i].unicode))) << kEntries[i].field;
    unicode.insert(wide[i]);
  }
  unicode.insert(wide.back());  // the shell's start
  for (std::size_t i = 0; i < ansi.size(); ++i) {
    EXPECT_NE(ansi[i], nullptr) << i;
    EXPECT_EQ(unicode.count(ansi[i]), 0u) << (i < std::size(kEntries) ? kEntries[i].field : "shell_execute");
  }
}

// The exports of the running system but the one named.
const char* g_missing = nullptr;
FARPROC AllBut(const char* library, const char* name) {
  return g_missing != nullptr && std::strcmp(name, g_missing) == 0 ? nullptr : Export(library, name);
}

TEST(SystemCalls, AnyUnicodeFunctionMissingGivesTheWholeAnsiTable) {
  g_missing = nullptr;
  EXPECT_EQ(Functions(UnicodeCalls(AllBut)), Functions(UnicodeCalls()));
  for (const Entry& entry : kEntries) {
    g_missing = entry.unicode;
    EXPECT_EQ(Functions(UnicodeCalls(AllBut)), Functions(AnsiCalls())) << entry.unicode;
  }
  g_missing = nullptr;
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
