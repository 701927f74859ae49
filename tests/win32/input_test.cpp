// Pointer, keyboard and close messages on real windows reach the window's
// door as the model's raw events, in the right twips, and what the model
// decides shows on the native windows. The rules themselves are the model's
// and are tested on the headless runtime.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "support.h"

namespace kvd_test {
namespace {

constexpr forms::Color kGrey = 0x808080;

bool Hovered(const launcher::FrmSetup& frm) {
  return frm.LabelFont.Font.Underline.Get() && frm.LabelFont.ForeColor.Get() == kGrey;
}
bool Plain(const launcher::FrmSetup& frm) {
  return !frm.LabelFont.Font.Underline.Get() && frm.LabelFont.ForeColor.Get() == 0;
}

class OpenLauncher : public ::testing::Test {
 protected:
  void SetUp() override {
    launcher.Open();
    label = launcher.runtime->PixelRect(launcher.frm->LabelFont);
  }
  Launcher launcher;
  RECT label{};
};

TEST_F(OpenLauncher, LabelTakesThePointerExactlyInsideItsRectangle) {
  const HWND picture = launcher.Picture();
  const auto& frm = *launcher.frm;
  ASSERT_EQ(label.left, 1 + 248);
  ASSERT_EQ(label.top, 1 + 152);
  ASSERT_GT(label.right - label.left, 100);  // "E-Mail:" and the address on one line

  MoveTo(picture, label.left, label.top);
  EXPECT_TRUE(Hovered(frm));
  MoveTo(picture, label.left - 1, label.top);
  EXPECT_TRUE(Plain(frm));
  MoveTo(picture, label.right - 1, label.bottom - 1);
  EXPECT_TRUE(Hovered(frm));
  MoveTo(picture, label.right, label.bottom - 1);
  EXPECT_TRUE(Plain(frm));
  MoveTo(picture, label.left + 5, label.bottom - 1);
  MoveTo(picture, label.left + 5, label.bottom);
  EXPECT_TRUE(Plain(frm));
}

TEST_F(OpenLauncher, PointerOverTheLabelIsTheLinkHandWithItsFingertipHotspot) {
  const HWND picture = launcher.Picture();
  const auto set_cursor_at = [picture](int x, int y) {
    POINT p{x, y};
    ClientToScreen(picture, &p);
    SetCursorPos(p.x, p.y);
    SendMessageW(picture, WM_SETCURSOR, reinterpret_cast<WPARAM>(picture), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
  };
  const HCURSOR over_label = set_cursor_at(label.left + 3, label.top + 3);
  ASSERT_NE(over_label, nullptr);
  EXPECT_EQ(over_label, launcher.runtime->LinkCursor());
  EXPECT_EQ(set_cursor_at(label.left - 3, label.top + 3), LoadCursorW(nullptr, IDC_ARROW));
  EXPECT_EQ(set_cursor_at(label.left + 10, label.top + 3), over_label);  // made once, used again

  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(over_label, &info));
  DeleteObject(info.hbmMask);
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  EXPECT_FALSE(info.fIcon);
  unsigned x = 99, y = 99;
  FILE* file = std::fopen(KVD_ASSETS "/link.ico.hotspot", "r");
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(std::fscanf(file, "%u %u", &x, &y), 2);
  std::fclose(file);
  EXPECT_EQ(info.xHotspot, x);
  EXPECT_EQ(info.yHotspot, y);
}

// Each pointer image is the one its name asks for: a label whose icon
// cannot be had shows the arrow, not the pointer made before for another.
TEST_F(OpenLauncher, APointerIsMadeForTheNameAskedFor) {
  const HWND picture = launcher.Picture();
  const auto over_label = [&] {
    POINT p{label.left + 3, label.top + 3};
    ClientToScreen(picture, &p);
    SetCursorPos(p.x, p.y);
    SendMessageW(picture, WM_SETCURSOR, reinterpret_cast<WPARAM>(picture), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
  };
  const HCURSOR hand = over_label();
  launcher.frm->LabelFont.MouseIcon = "kvd-no-such-pointer";
  EXPECT_EQ(over_label(), LoadCursorW(nullptr, IDC_ARROW));
  launcher.frm->LabelFont.MouseIcon = "link";
  EXPECT_EQ(over_label(), hand);
}

// A bitmap's pixels, 32-bit, top row first (a mask: 0 where it is clear).
Image ReadBitmap(HBITMAP bitmap) {
  BITMAP b{};
  GetObjectW(bitmap, sizeof b, &b);
  Image image{b.bmWidth, b.bmHeight, std::vector<std::uint32_t>(static_cast<std::size_t>(b.bmWidth) * b.bmHeight)};
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
  } info{};
  info.header = {sizeof info.header, b.bmWidth, -b.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, b.bmHeight, image.data.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  DeleteObject(bitmap);
  return image;
}

// A pointer's or icon's image and mask, and its active point. A two-colour
// one has no colour bitmap: its mask is twice as high, the image below it.
struct PointerPixels {
  Image image, mask;
  int x, y;
};
PointerPixels ReadPointer(HICON pointer) {
  ICONINFO info{};
  if (!GetIconInfo(pointer, &info)) return {};
  PointerPixels read{{}, ReadBitmap(info.hbmMask), static_cast<int>(info.xHotspot), static_cast<int>(info.yHotspot)};
  if (info.hbmColor != nullptr) {
    read.image = ReadBitmap(info.hbmColor);
    return read;
  }
  const auto half = read.mask.data.begin() + static_cast<std::ptrdiff_t>(read.mask.data.size() / 2);
  read.mask.height /= 2;
  read.image = {read.mask.width, read.mask.height, {half, read.mask.data.end()}};
  read.mask.data.erase(half, read.mask.data.end());
  return read;
}

// The link's pointer has the size Windows draws its own pointers at for the
// dpi (32, 48 and 64 pixels at 100, 150 and 200 %), whether the window opened
// there or moved there; it is sharp (only outline and white) and its active
// point is the top of the raised finger. At 96 dpi it is the drawing itself.
struct LinkPointerCase {
  int open_dpi, dpi;
  LONG system_pointer_size;
};
void PrintTo(const LinkPointerCase& c, std::ostream* out) { *out << c.system_pointer_size << " px"; }
class LinkPointer : public ::testing::TestWithParam<LinkPointerCase> {};

TEST_P(LinkPointer, HasTheSystemPointersSizeAndItsHotspotOnTheFingertip) {
  const auto [open_dpi, dpi, size] = GetParam();
  Launcher launcher(open_dpi);
  launcher.Open();
  RECT moved{};
  GetWindowRect(launcher.Window(), &moved);
  if (dpi != open_dpi) SendMessageW(launcher.Window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&moved));
  const RECT label = launcher.runtime->PixelRect(launcher.frm->LabelFont);
  POINT p{label.left + 3, label.top + 3};
  ClientToScreen(launcher.Picture(), &p);
  SetCursorPos(p.x, p.y);
  SendMessageW(launcher.Picture(), WM_SETCURSOR, reinterpret_cast<WPARAM>(launcher.Picture()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  ASSERT_EQ(GetCursor(), launcher.runtime->LinkCursor());
  const auto [image, mask, hot_x, hot_y] = ReadPointer(GetCursor());
  ASSERT_EQ(std::tuple(image.width, image.height, mask.width, mask.height), std::tuple(size, size, size, size));
  const auto opaque = [&](int x, int y) { return x >= 0 && y >= 0 && x < size && y < size && mask.At(x, y) == 0; };
  int top = size;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      if (opaque(x, y)) {
        top = std::min(top, y);
        EXPECT_TRUE((image.At(x, y) & 0xFFFFFF) == 0 || (image.At(x, y) & 0xFFFFFF) == 0xFFFFFF) << x << " " << y;
      }
  EXPECT_EQ(hot_y, top);
  EXPECT_TRUE(opaque(hot_x, hot_y) && opaque(hot_x, hot_y + 1) && opaque(hot_x - 1, hot_y) && opaque(hot_x + 1, hot_y))
      << hot_x << " " << hot_y;
  if (dpi != 96) return;
  const PointerPixels drawn =
      ReadPointer(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"link", IMAGE_ICON, 32, 32, LR_SHARED)));
  EXPECT_EQ(image.data, drawn.image.data);
  EXPECT_EQ(mask.data, drawn.mask.data);
  EXPECT_EQ(std::tuple(hot_x, hot_y), std::tuple(7, 0));
}

INSTANTIATE_TEST_SUITE_P(Dpi, LinkPointer,
                         ::testing::Values(LinkPointerCase{96, 96, 32}, LinkPointerCase{144, 144, 48},
                                           LinkPointerCase{192, 192, 64}, LinkPointerCase{96, 192, 64},
                                           LinkPointerCase{192, 96, 32}),
                         [](const auto& test) {
                           return "Opened" + std::to_string(test.param.open_dpi) + "At" + std::to_string(test.param.dpi);
                         });

// What a handler receives: which control, the button mask and the position
// in the control's own twips.
struct Seen {
  std::string control;
  int buttons;
  float x, y;
  bool operator==(const Seen&) const = default;
};

// Messages for the picture box, a button and the window itself reach the
// model as one kind of event in the window's twips, at any dpi; the model's
// press of a button shows on the native button and holds the capture.
class PointerAtDpi : public ::testing::TestWithParam<int> {};

TEST_P(PointerAtDpi, MessagesOfEveryWindowReachTheDoorInTwips) {
  Launcher launcher(GetParam());
  launcher.Open();
  auto& frm = *launcher.frm;
  const float tpp = 1440.0f / static_cast<float>(GetParam());
  std::vector<Seen> seen;
  for (forms::Control* c : {&frm.PicForm, &frm.CmdExit, &frm.LabelFont})
    c->MouseMove = c->MouseDown = [&seen, c](int buttons, int, float x, float y) {
      seen.push_back({c->Name(), buttons, x, y});
    };
  const HWND picture = launcher.Picture(), cancel = launcher.Button(frm.CmdExit);
  const RECT label = launcher.runtime->PixelRect(frm.LabelFont);

  MoveTo(picture, 30, 40, MK_RBUTTON);
  SendMessageW(picture, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(30, 40));
  MoveTo(picture, label.left + 2, label.top + 3);
  MoveTo(cancel, 4, 5);
  SendMessageW(launcher.Window(), WM_MOUSEMOVE, 0, MAKELPARAM(7, 9));  // over the picture's border
  const std::vector<Seen> expected{{"PicForm", 2, 29 * tpp, 39 * tpp},
                                   {"PicForm", 4, 29 * tpp, 39 * tpp},
                                   {"LabelFont", 0, 2 * tpp, 3 * tpp},
                                   {"CmdExit", 0, 4 * tpp, 5 * tpp},
                                   {"PicForm", 0, 6 * tpp, 8 * tpp}};
  EXPECT_EQ(seen, expected);

  SendMessageW(cancel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 5));
  EXPECT_EQ(GetCapture(), launcher.Window());
  EXPECT_EQ(SendMessageW(cancel, BM_GETSTATE, 0, 0) & BST_PUSHED, BST_PUSHED);
  EXPECT_EQ(GetFocus(), cancel);
  SendMessageW(launcher.Window(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(2, 2));  // slid off, still captured
  EXPECT_EQ(SendMessageW(cancel, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
  SendMessageW(launcher.Window(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(launcher.runtime->questions, 0);
  SendMessageW(cancel, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, 5));  // a second press of a double click
  SendMessageW(cancel, WM_LBUTTONUP, 0, MAKELPARAM(4, 5));
  EXPECT_EQ(launcher.runtime->questions, 1);
}

INSTANTIATE_TEST_SUITE_P(Dpi, PointerAtDpi, ::testing::Values(96, 144));

TEST(Keyboard, TabEnterSpaceAndEscReachTheFocusedButtonOnce) {
  Launcher launcher;
  launcher.Open();
  auto& runtime = *launcher.runtime;
  auto& frm = *launcher.frm;
  ASSERT_EQ(GetFocus(), launcher.Picture());

  PressKey(runtime, VK_RETURN, L'\r');  // the picture box has no click
  PressKey(runtime, VK_ESCAPE, 0x1B);   // no cancel button
  EXPECT_EQ(runtime.questions, 0);

  PressKey(runtime, VK_TAB, L'\t');  // OK is still disabled
  EXPECT_EQ(GetFocus(), launcher.Button(frm.CmdExit));
  EXPECT_EQ(frm.Window.ActiveControl(), &frm.CmdExit);
  PressKey(runtime, VK_RETURN, L'\r');
  EXPECT_EQ(runtime.questions, 1);
  PressKey(runtime, VK_SPACE, L' ');
  EXPECT_EQ(runtime.questions, 2);
  PressKey(runtime, VK_ESCAPE, 0x1B);
  EXPECT_EQ(runtime.questions, 2);
  EXPECT_TRUE(runtime.ProcessMessages(0));  // both questions answered Cancel

  frm.CmdOK.Enabled = true;  // as TimePlay does
  PressKey(runtime, VK_TAB, L'\t');
  EXPECT_EQ(GetFocus(), launcher.Button(frm.CmdOK));
  const std::size_t before = runtime.shell.requests.size();
  PressKey(runtime, VK_SPACE, L' ');
  ASSERT_EQ(runtime.shell.requests.size(), before + 1);
  EXPECT_EQ(runtime.shell.requests.back().file, "data\\data2.exe");
  EXPECT_FALSE(IsWindowEnabled(launcher.Button(frm.CmdOK)));
  EXPECT_FALSE(IsWindowEnabled(launcher.Button(frm.CmdExit)));
  EXPECT_EQ(GetFocus(), launcher.Picture());  // the focus left the disabled buttons
}

// Close requests from every source, while growing, once open and while the
// real question box is open: the window unloads at once, the question goes
// with it, the program ends with status 0 and nothing more starts.
enum class Source { Close, OwnerClose, EndSession, Destroy };
enum class When { Growing, Open, Asking };

void Request(const Launcher& launcher, Source source) {
  const HWND window = launcher.Window();
  switch (source) {
    case Source::Close:
      PostMessageW(window, WM_CLOSE, 0, 0);
      break;
    case Source::OwnerClose:
      PostMessageW(GetWindow(window, GW_OWNER), WM_CLOSE, 0, 0);
      break;
    case Source::EndSession:
      PostMessageW(window, WM_ENDSESSION, TRUE, 0);
      break;
    case Source::Destroy:
      DestroyWindow(window);
      break;
  }
}

BOOL CALLBACK CountQuestion(HWND window, LPARAM count) {
  wchar_t title[32] = {};
  GetWindowTextW(window, title, 32);
  if (std::wstring(title) == L"退出询问") ++*reinterpret_cast<int*>(count);
  return TRUE;
}

TEST(Close, EverySourceInEveryStateUnloadsAtOnce) {
  const std::tuple<Source, When> cases[] = {
      {Source::Close, When::Growing},     {Source::OwnerClose, When::Growing}, {Source::EndSession, When::Open},
      {Source::Destroy, When::Open},      {Source::Close, When::Asking},       {Source::OwnerClose, When::Asking},
      {Source::EndSession, When::Asking},
  };
  for (const auto& [source, when] : cases) {
    SCOPED_TRACE(testing::Message() << "source " << static_cast<int>(source) << ", state " << static_cast<int>(when));
    Launcher launcher;
    auto& runtime = *launcher.runtime;
    if (when != When::Growing) launcher.Open();
    const HWND window = launcher.Window();
    const std::size_t started = runtime.shell.requests.size();
    int questions_left = 0;
    if (when == When::Asking) {
      runtime.real_question = true;
      runtime.while_asking = [&] { Request(launcher, source); };
      launcher.frm->Window.Deliver([&] { launcher.frm->CmdExit_Click(); });  // returns once the box is gone
      EnumThreadWindows(GetCurrentThreadId(), CountQuestion, reinterpret_cast<LPARAM>(&questions_left));
    } else {
      Request(launcher, source);
    }
    EXPECT_TRUE(PumpUntil(
        runtime, [&runtime] { return runtime.Ended(); }, 5000));
    EXPECT_EQ(runtime.ExitStatus(), 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(launcher.frm->Window.IsLoaded());
    EXPECT_EQ(runtime.questions, when == When::Asking ? 1 : 0);
    EXPECT_EQ(questions_left, 0) << "the question went with its window";
    EXPECT_EQ(runtime.shell.requests.size(), started) << "nothing more starts";
  }
}

TEST(Close, AnUnhandledFailureEndsWithANonZeroStatus) {
  Launcher launcher;
  auto& runtime = *launcher.runtime;
  const HWND window = launcher.Window();
  launcher.frm->Window.Fail(forms::RuntimeError("test failure"));
  EXPECT_TRUE(PumpUntil(
      runtime, [&runtime] { return runtime.Ended(); }, 5000));
  EXPECT_NE(runtime.ExitStatus(), 0);
  EXPECT_FALSE(IsWindow(window));
}

}  // namespace
}  // namespace kvd_test
