// What a screen reader hears of the staged launcher, asked through MSAA
// from another process: the e-mail link (name, role, state, value, default
// action, place on the screen), the picture, the buttons, the link's default
// action starting one mail message and nothing else, and a reference held
// after the window has closed.
//
//   screen_reader_client <stage folder, as Windows sees it>
//
// The exit status is the number of failed checks. A mail message shows as
// the start of a stand-in registered as the mail handler for the run.
#include <windows.h>
// After windows.h, which it needs.
#include <oleacc.h>

#include <cstdio>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <string>

#include "windows/text.h"

namespace {

using windows::Narrow;

const wchar_t kCaption[] = L"安装Keyvandor";
int failures = 0;

void Check(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "  ok" : "FAIL", what.c_str());
  failures += ok ? 0 : 1;
}

template <class Done>
bool Within(DWORD ms, Done done) {
  for (const DWORD start = GetTickCount(); !done(); Sleep(50))
    if (GetTickCount() - start > ms) return false;
  return true;
}

VARIANT Child(LONG id) {
  VARIANT v;
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

std::string Read(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), LONG id) {
  BSTR text = nullptr;
  if (FAILED((object->*get)(Child(id), &text)) || text == nullptr) return "(none)";
  const std::string out = windows::Narrow(text);
  SysFreeString(text);
  return out;
}
LONG Read(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), LONG id) {
  VARIANT v{};
  return SUCCEEDED((object->*get)(Child(id), &v)) && v.vt == VT_I4 ? v.lVal : -1;
}

IAccessible* ClientObject(HWND window) {
  IAccessible* object = nullptr;
  AccessibleObjectFromWindow(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&object));
  return object;
}

// How many starts the stand-ins recorded under that file name.
int Starts(const std::wstring& log, const std::string& name) {
  std::ifstream in(windows::Narrow(log));
  const std::string text(std::istreambuf_iterator<char>(in), {});
  int count = 0;
  for (auto at = text.find("\\" + name + "\t"); at != std::string::npos; at = text.find("\\" + name + "\t", at + 1))
    ++count;
  return count;
}

// "mailto:" runs command for the run, and the previous handler afterwards.
struct MailHandler {
  static constexpr const wchar_t* kKey = L"mailto\\shell\\open\\command";
  wchar_t previous[1024] = L"";
  explicit MailHandler(const std::wstring& command) {
    DWORD size = sizeof previous;
    RegGetValueW(HKEY_CLASSES_ROOT, kKey, nullptr, RRF_RT_REG_SZ, nullptr, previous, &size);
    Set(command.c_str());
  }
  ~MailHandler() { Set(previous); }
  static void Set(const wchar_t* command) {
    const auto size = static_cast<DWORD>((std::wcslen(command) + 1) * sizeof(wchar_t));
    RegSetKeyValueW(HKEY_CLASSES_ROOT, kKey, nullptr, REG_SZ, command, size);
  }
};

void Run(const std::wstring& stage) {
  wchar_t temp[MAX_PATH];
  const std::wstring folder(temp, GetTempPathW(MAX_PATH, temp));
  const std::wstring log = folder + L"kvd-screen-reader.log", mail = folder + L"kvd-mail.exe";
  DeleteFileW(log.c_str());
  SetEnvironmentVariableW(L"KVD_STANDIN_LOG", log.c_str());
  CopyFileW((stage + L"\\speech.exe").c_str(), mail.c_str(), FALSE);
  const MailHandler handler(L"\"" + mail + L"\" \"%1\"");

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION launcher{};
  std::wstring command = L"\"" + stage + L"\\Setup.exe\"";
  CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, stage.c_str(), &startup, &launcher);
  HWND window = nullptr, picture = nullptr;
  IAccessible* link = nullptr;
  // Fully open once speech.exe has started.
  Within(30000, [&] {
    window = FindWindowW(L"KvdForm", kCaption);
    picture = window != nullptr ? FindWindowExW(window, nullptr, L"KvdPicture", nullptr) : nullptr;
    return picture != nullptr && Starts(log, "speech.exe") == 1 && (link = ClientObject(picture)) != nullptr;
  });
  Check(link != nullptr, "the open window's picture box answers a screen reader");
  if (link == nullptr) return (void)TerminateProcess(launcher.hProcess, 1);

  const std::string name = Read(link, &IAccessible::get_accName, 1);
  Check(name == "E-Mail:kvd@example.com", "the link is named " + name);
  Check(Read(link, &IAccessible::get_accRole, 1) == ROLE_SYSTEM_LINK &&
            Read(link, &IAccessible::get_accState, 1) == STATE_SYSTEM_LINKED,
        "it is a link, never focusable (a label never holds the focus)");
  Check(Read(link, &IAccessible::get_accValue, 1) == "mailto:kvd@example.com" &&
            Read(link, &IAccessible::get_accDefaultAction, 1) == "Jump",
        "it leads to mailto:kvd@example.com, by a jump");
  BSTR text = nullptr;
  Check(link->get_accName(Child(2), &text) == E_INVALIDARG, "there is no child 2");
  Check(Read(link, &IAccessible::get_accName, CHILDID_SELF) == windows::Narrow(kCaption) &&
            Read(link, &IAccessible::get_accRole, CHILDID_SELF) == ROLE_SYSTEM_GRAPHIC,
        "the picture is a graphic named after the window");

  // The link's place on the screen, and back to the link from there.
  LONG x = 0, y = 0, width = 0, height = 0;
  link->accLocation(&x, &y, &width, &height, Child(1));
  RECT box;
  GetWindowRect(picture, &box);
  Check(width > 100 && height > 8 && x > box.left && y > box.top && x + width < box.right && y + height < box.bottom,
        "the link lies inside the picture box on the screen");
  IAccessible* found = nullptr;
  VARIANT child{};
  AccessibleObjectFromPoint({x + width / 2, y + height / 2}, &found, &child);
  Check(found != nullptr && child.vt == VT_I4 && child.lVal == 1 && Read(found, &IAccessible::get_accName, 1) == name,
        "its centre is the link");
  if (found != nullptr) found->Release();

  // The buttons by name, their states as their windows' own.
  int buttons = 0;
  for (HWND c = GetWindow(picture, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    IAccessible* button = ClientObject(c);
    if (button == nullptr) continue;
    const std::string caption = Read(button, &IAccessible::get_accName, CHILDID_SELF);
    const bool unavailable = (Read(button, &IAccessible::get_accState, CHILDID_SELF) & STATE_SYSTEM_UNAVAILABLE) != 0;
    buttons += (caption == "确定" || caption == "取消") && unavailable == !IsWindowEnabled(c) ? 1 : 0;
    button->Release();
  }
  Check(buttons == 2, "the buttons read 确定 and 取消 with their enabled states");

  // The default action: one mail message, and nothing else changes.
  const auto focus = [&launcher] {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(launcher.dwThreadId, &info);
    return info.hwndFocus;
  };
  const HWND focused = focus();
  Check(link->accDoDefaultAction(Child(1)) == S_OK, "the link's default action was done");
  Check(Within(5000, [&] { return Starts(log, "kvd-mail.exe") == 1; }), "it started a mail message");
  Sleep(1500);
  Check(Starts(log, "kvd-mail.exe") == 1 && Starts(log, "data2.exe") == 0 && IsWindowVisible(window) &&
            focus() == focused,
        "only one, and the window is as it was");

  // A reference held after the window has closed fails cleanly.
  PostMessageW(window, WM_CLOSE, 0, 0);
  Check(WaitForSingleObject(launcher.hProcess, 10000) == WAIT_OBJECT_0, "the launcher closed");
  const HRESULT gone = link->get_accName(Child(1), &text);
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lx", static_cast<unsigned long>(gone));
  Check(FAILED(gone), std::string("a reference held after that fails: ") + code);
  link->Release();
  CloseHandle(launcher.hThread);
  CloseHandle(launcher.hProcess);
  DeleteFileW(mail.c_str());
  DeleteFileW(log.c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 100;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  Run(argv[1]);
  CoUninitialize();
  std::printf("%s: %d failed check(s)\n", failures == 0 ? "passed" : "FAILED", failures);
  return failures;
}
