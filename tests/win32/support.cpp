#include "support.h"

#include <fstream>
#include <iterator>

#include "forms/picture/bmp.h"

namespace kvd_test {

Launcher::Launcher(int dpi)
    : runtime(std::make_unique<RecordingRuntime>(forms::win32::Options{dpi})),
      frm(std::make_unique<launcher::FrmSetup>(*runtime)) {
  frm->Show();
}

void Launcher::Open() {
  PumpUntil(*runtime, [this] { return !frm->TimerForm.Enabled.Get(); });
}

bool PumpUntil(forms::win32::Win32Runtime& runtime, const std::function<bool()>& done, DWORD bound_ms) {
  const DWORD start = GetTickCount();
  while (!done() && GetTickCount() - start < bound_ms) {
    if (!runtime.ProcessMessages(10)) break;
  }
  return done();
}

Image CaptureClient(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  Image image{client.right, client.bottom, {}};
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), image.width, -image.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
  GdiFlush();
  const auto* p = static_cast<const std::uint32_t*>(bits);
  image.data.assign(p, p + static_cast<std::size_t>(image.width) * image.height);
  for (auto& px : image.data) px &= 0xFFFFFF;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return image;
}

Image ReadBmp(const char* path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<std::uint8_t> file(std::istreambuf_iterator<char>(in), {});
  return forms::picture::ReadBmp(file);
}

// Wine accepts a GDI handle given by its table index alone.
int LiveGdiObjects() {
  int live = 0;
  for (std::uintptr_t index = 0; index <= 0xFFFF; ++index)
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++live;
  return live;
}

namespace {
BOOL CALLBACK CountWindow(HWND, LPARAM counter) {
  ++*reinterpret_cast<int*>(counter);
  return TRUE;
}
BOOL CALLBACK CountWindowAndChildren(HWND window, LPARAM counter) {
  ++*reinterpret_cast<int*>(counter);
  EnumChildWindows(window, CountWindow, counter);
  return TRUE;
}
}  // namespace

int ThreadWindows() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountWindowAndChildren, reinterpret_cast<LPARAM>(&count));
  return count;
}

void MoveTo(HWND window, int x, int y, WPARAM keys) { SendMessageW(window, WM_MOUSEMOVE, keys, MAKELPARAM(x, y)); }

void PressKey(forms::win32::Win32Runtime& runtime, WPARAM key, wchar_t typed) {
  HWND focus = GetFocus();
  PostMessageW(focus, WM_KEYDOWN, key, 1);
  if (typed != 0) PostMessageW(focus, WM_CHAR, typed, 1);
  PostMessageW(focus, WM_KEYUP, key, 1 | 0xC0000000);
  runtime.ProcessMessages(50);
}

}  // namespace kvd_test
