// The startup benchmark's reference: a bare popup window the size of the
// launcher's opening strip (67 x 1 pixels), shown at once and painted one
// colour (the window colour, by its class brush), ended by WM_CLOSE.
#include <windows.h>

namespace {

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSW cls{};
  cls.lpfnWndProc = Procedure;
  cls.hInstance = instance;
  cls.lpszClassName = L"KvdBarePopup";
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassW(&cls);
  const HWND window =
      CreateWindowExW(0, cls.lpszClassName, L"bare popup", WS_POPUP, (GetSystemMetrics(SM_CXSCREEN) - 67) / 2,
                      (GetSystemMetrics(SM_CYSCREEN) - 1) / 2, 67, 1, nullptr, nullptr, instance, nullptr);
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
