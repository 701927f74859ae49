// System DLLs come from the system folder, however they are loaded: with the
// LOAD_LIBRARY_SEARCH_* flags where the system has them, by full path where
// it has not.
#include "windows/system_library.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <string>

namespace windows {
namespace {

std::wstring Lower(std::wstring text) {
  for (auto& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

std::wstring FolderOf(HMODULE module) {
  wchar_t path[MAX_PATH] = {};
  const DWORD n = ::GetModuleFileNameW(module, path, MAX_PATH);
  const std::wstring text(path, n);
  return Lower(text.substr(0, text.find_last_of(L'\\')));
}

TEST(SystemLibrary, LoadsFromTheSystemFolder) {
  wchar_t system[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
  for (const wchar_t* name : {L"version.dll", L"uxtheme.dll", L"msimg32.dll", L"ole32.dll", L"shell32.dll"}) {
    const HMODULE module = LoadSystemLibrary(name);
    ASSERT_NE(module, nullptr) << name;
    EXPECT_EQ(FolderOf(module), Lower(std::wstring(system, length))) << name;
  }
  EXPECT_EQ(LoadSystemLibrary(L"kvd-no-such-library.dll"), nullptr);
}

}  // namespace
}  // namespace windows
