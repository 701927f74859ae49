#include "windows/system_library.h"

#include <string>

#include "windows/system_calls.h"

namespace windows {

// KVD_TEST_FALLBACKS (the test build option KVD_TEST_FALLBACKS) makes the
// program behave as on the oldest supported system: no optional function is
// found and the search flags count as unknown.
#ifdef KVD_TEST_FALLBACKS
constexpr bool kAsOnTheOldestSystem = true;
#else
constexpr bool kAsOnTheOldestSystem = false;
#endif

namespace detail {

FARPROC Export(HMODULE module, const char* name) {
  return module != nullptr ? ::GetProcAddress(module, name) : nullptr;
}

FARPROC OptionalExport(const char* loaded_module, const char* name) {
  if (kAsOnTheOldestSystem) return nullptr;
  return Export(::GetModuleHandleA(loaded_module), name);  // the name alone: either form serves
}

}  // namespace detail

bool SystemHasSearchFlags() { return detail::OptionalExport("kernel32.dll", "AddDllDirectory") != nullptr; }

// Where the flags are unknown, the library is loaded by its full path in the
// system folder; with LOAD_WITH_ALTERED_SEARCH_PATH the DLLs it imports are
// then looked for in that folder first, not beside the launcher.
HMODULE LoadSystemLibrary(const wchar_t* name) {
  if (SystemHasSearchFlags()) return Calls().load_library_ex(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  wchar_t folder[MAX_PATH];
  const UINT length = Calls().system_directory(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  return Calls().load_library_ex((std::wstring(folder, length) + L"\\" + name).c_str(), nullptr,
                                 LOAD_WITH_ALTERED_SEARCH_PATH);
}

ComFunctions LoadCom() {
  const HMODULE ole32 = LoadSystemLibrary(L"ole32.dll");
  ComFunctions com;
  FindFunction(ole32, "CoInitializeEx", com.initialize);
  FindFunction(ole32, "CoUninitialize", com.uninitialize);
  FindFunction(ole32, "CoDisconnectObject", com.disconnect);
  return com;
}

}  // namespace windows
