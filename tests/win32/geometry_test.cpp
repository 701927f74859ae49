// Where the launcher window stands on the screen and what it draws, on real
// windows: the opening strip, the open window, the artwork inside its border
// and the controls on the artwork at a higher dpi; what is made before the
// first show and what after it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

#include "shell/shell_open.h"
#include "support.h"

namespace kvd_test {
namespace {

RECT ScreenRect(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return r;
}

// A child's rectangle in its parent's client area.
RECT ChildRect(HWND child) {
  RECT r = ScreenRect(child);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Moves the window to a monitor of that dpi, as the system does: it suggests
// a rectangle, here the window's own 10 pixels right and 20 down.
RECT MoveToDpi(Launcher& launcher, int dpi) {
  RECT suggested = ScreenRect(launcher.Window());
  OffsetRect(&suggested, 10, 20);
  SendMessageW(launcher.Window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  return suggested;
}

// Opens the launcher and, unless dpi is 0, moves it to a monitor of that dpi.
void OpenAndMove(Launcher& launcher, int dpi) {
  launcher.Open();
  if (dpi != 0) MoveToDpi(launcher, dpi);
}

TEST(Geometry, StripIsOnePixelTallAndCentredOnTheScreen) {
  Launcher launcher;  // 96 dpi under Wine
  const RECT r = ScreenRect(launcher.Window());
  EXPECT_EQ(r.right - r.left, 67);  // 1000 twips
  EXPECT_EQ(r.bottom - r.top, 1);   // 15 twips
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 67) / 2);
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 1) / 2);
  EXPECT_TRUE(IsWindowVisible(launcher.Window()));
  const LONG style = GetWindowLongW(launcher.Window(), GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU), 0);
  // No taskbar button: an owned window without WS_EX_APPWINDOW. Listed by
  // Alt+Tab: no tool window, and the last window its hidden owner activated.
  const HWND owner = GetWindow(launcher.Window(), GW_OWNER);
  ASSERT_NE(owner, nullptr);
  EXPECT_FALSE(IsWindowVisible(owner));
  EXPECT_EQ(GetLastActivePopup(owner), launcher.Window());
  EXPECT_EQ(FindWindowW(nullptr, L"安装Keyvandor"), launcher.Window());  // what tools search by
  EXPECT_EQ(GetWindowLongW(launcher.Window(), GWL_EXSTYLE) & (WS_EX_APPWINDOW | WS_EX_TOOLWINDOW), 0);
}

TEST(Geometry, OpensToTheArtworkSizeAboutTheStrip) {
  Launcher launcher;
  const RECT strip = ScreenRect(launcher.Window());
  launcher.Open();
  ASSERT_FALSE(launcher.frm->TimerForm.Enabled.Get());
  const RECT r = ScreenRect(launcher.Window());
  EXPECT_EQ(r.right - r.left, 483);
  EXPECT_EQ(r.bottom - r.top, 260);
  // 39 growing ticks moved the window 39 * 80 twips left and 39 * 50 up.
  EXPECT_EQ(r.left, strip.left - 208);
  EXPECT_EQ(r.top, strip.top - 130);
  const RECT picture = ChildRect(launcher.Picture());
  EXPECT_EQ(picture.left, 0);
  EXPECT_EQ(picture.top, 0);
  EXPECT_EQ(picture.right, 483);
  EXPECT_EQ(picture.bottom, 260);
  // The buttons stand on the artwork, inside the picture box's border.
  const RECT ok = ChildRect(launcher.Button(launcher.frm->CmdOK));
  EXPECT_EQ(ok.left, 1 + 200);
  EXPECT_EQ(ok.top, 1 + 228);
  EXPECT_EQ(ok.right - ok.left, 65);
  EXPECT_EQ(ok.bottom - ok.top, 21);
  EXPECT_EQ(ChildRect(launcher.Button(launcher.frm->CmdExit)).left, 1 + 280);
}

// The window's sizes as the window system applies them, from a hook on this thread.
std::vector<SIZE> g_sizes;
HWND g_watched = nullptr;
LRESULT CALLBACK WatchSizes(int code, WPARAM wparam, LPARAM lparam) {
  const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
  if (call->hwnd == g_watched && call->message == WM_WINDOWPOSCHANGED) {
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(call->lParam);
    if (g_sizes.empty() || g_sizes.back().cx != pos->cx || g_sizes.back().cy != pos->cy)
      g_sizes.push_back({pos->cx, pos->cy});
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

// Before the first show the data program is asked for and the strip made;
// the buttons come after it, as the model holds them; the artwork's pixels
// wait for the first paint; the shell runs on a thread of its own; and each
// tick of the opening changes the size once.
TEST(Start, StripFirstThenButtonsShellOffTheWindowThreadOneSizePerTick) {
  RecordingRuntime runtime;
  launcher::FrmSetup frm(runtime);
  EXPECT_EQ(runtime.WindowOf(frm.CmdOK), nullptr) << "no button before the show";
  frm.Show();
  ASSERT_FALSE(runtime.shell.requests.empty());
  EXPECT_EQ(runtime.shell.requests[0].file, "data\\data1.exe");
  EXPECT_FALSE(runtime.shell.shown_at_request[0]) << "asked for during Load";
  const HWND ok = runtime.WindowOf(frm.CmdOK);
  ASSERT_NE(ok, nullptr);
  EXPECT_FALSE(IsWindowEnabled(ok));
  EXPECT_NE(SendMessageW(ok, WM_GETFONT, 0, 0), 0);

  g_watched = runtime.WindowOf(frm.Window);
  const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROCRET, WatchSizes, nullptr, GetCurrentThreadId());
  PumpUntil(runtime, [&frm] { return !frm.TimerForm.Enabled.Get(); });
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(g_sizes.size(), 40u) << "39 growing ticks and the last one";

  // The size the window took from the artwork's headers alone is the whole
  // picture's; above 96 dpi the 2x rendition is drawn from.
  forms::win32::Artwork artwork(GetModuleHandleW(nullptr), "artwork");
  EXPECT_EQ(artwork.Source(96).width, artwork.WidthPx());
  EXPECT_EQ(artwork.Source(96).height, artwork.HeightPx());
  EXPECT_EQ(artwork.RenditionFor(120), 2);
  EXPECT_EQ(artwork.Source(120).width, 2 * artwork.WidthPx());
  EXPECT_EQ(artwork.Source(192).height, 2 * artwork.HeightPx());

  runtime.shell.Finish();
  EXPECT_EQ(runtime.shell.requests.size(), 2u);
  ASSERT_EQ(runtime.shell.performed_on.size(), runtime.shell.requests.size());
  for (DWORD thread : runtime.shell.performed_on) EXPECT_NE(thread, GetCurrentThreadId());
}

// A start handed over before the window ever shows (its thread not yet
// made) is still performed before the shell's Finish returns.
TEST(Start, StartsHandedOverBeforeAnyShowAreFinished) {
  RecordingRuntime runtime;
  launcher::FrmSetup frm(runtime);
  shell::ShellOpen(frm.Window, "Open", "data\\data1.exe");
  runtime.shell.Finish();
  EXPECT_EQ(runtime.shell.performed_on.size(), 1u);
}

TEST(Painting, ArtworkFillsThePictureInsideAOnePixelBorder) {
  Launcher launcher;
  launcher.Open();
  const Image artwork = ReadBmp(KVD_ASSETS "/artwork.bmp");
  ASSERT_EQ(artwork.width, 481);
  const Image face = CaptureClient(launcher.Picture());
  ASSERT_EQ(face.width, 483);
  ASSERT_EQ(face.height, 260);
  const std::uint32_t frame = Rgb(GetSysColor(COLOR_WINDOWFRAME));
  for (int x = 0; x < face.width; ++x) {
    EXPECT_EQ(face.At(x, 0), frame) << x;
    EXPECT_EQ(face.At(x, 259), frame) << x;
  }
  for (int y = 0; y < face.height; ++y) {
    EXPECT_EQ(face.At(0, y), frame) << y;
    EXPECT_EQ(face.At(482, y), frame) << y;
  }
  // Every artwork pixel in place, except where the label's glyphs lie.
  const RECT label = launcher.runtime->PixelRect(launcher.frm->LabelFont);
  EXPECT_EQ(label.left, 1 + 248);
  EXPECT_EQ(label.top, 1 + 152);
  int differing_outside = 0, glyph_pixels = 0;
  for (int y = 0; y < artwork.height; ++y) {
    for (int x = 0; x < artwork.width; ++x) {
      const bool in_label = x + 1 >= label.left && x + 1 < label.right && y + 1 >= label.top && y + 1 < label.bottom;
      const bool same = face.At(x + 1, y + 1) == artwork.At(x, y);
      if (!in_label && !same) ++differing_outside;
      if (in_label && face.At(x + 1, y + 1) == 0) ++glyph_pixels;  // black text
    }
  }
  EXPECT_EQ(differing_outside, 0);
  EXPECT_GT(glyph_pixels, 30);
}

TEST(Dpi144, ButtonsAndLabelStayOnTheSameArtworkPixels) {
  Launcher launcher(144);
  launcher.Open();
  ASSERT_EQ(launcher.runtime->Dpi(), 144);
  const RECT window = ScreenRect(launcher.Window());
  EXPECT_NEAR(window.right - window.left, 2 + 481 * 1.5, 1);
  EXPECT_NEAR(window.bottom - window.top, 2 + 258 * 1.5, 1);
  // At 96 dpi: OK at artwork pixel (200, 228), Cancel at (280, 228), label at (248, 152).
  const RECT ok = ChildRect(launcher.Button(launcher.frm->CmdOK));
  const RECT cancel = ChildRect(launcher.Button(launcher.frm->CmdExit));
  const RECT label = launcher.runtime->PixelRect(launcher.frm->LabelFont);
  EXPECT_NEAR(ok.left - 1, 200 * 1.5, 1);
  EXPECT_NEAR(ok.top - 1, 228 * 1.5, 1);
  EXPECT_NEAR(ok.right - ok.left, 65 * 1.5, 1);
  EXPECT_NEAR(cancel.left - 1, 280 * 1.5, 1);
  EXPECT_NEAR(label.left - 1, 248 * 1.5, 1);
  EXPECT_NEAR(label.top - 1, 152 * 1.5, 1);

  // The artwork is scaled with it: where the artwork is flat, a pixel shows
  // at 1.5 times its place.
  const Image artwork = ReadBmp(KVD_ASSETS "/artwork.bmp");
  const Image face = CaptureClient(launcher.Picture());
  const auto channel_gap = [](std::uint32_t a, std::uint32_t b) {
    int gap = 0;
    for (int shift = 0; shift < 24; shift += 8)
      gap = std::max(gap, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
    return gap;
  };
  int checked = 0, misplaced = 0;
  for (int y = 2; y < artwork.height - 2; y += 5) {
    for (int x = 2; x < artwork.width - 2; x += 5) {
      bool flat = true;
      for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) flat = flat && channel_gap(artwork.At(x + dx, y + dy), artwork.At(x, y)) <= 3;
      const int fx = 1 + static_cast<int>(std::lround(x * 1.5 + 0.25));
      const int fy = 1 + static_cast<int>(std::lround(y * 1.5 + 0.25));
      const bool under_label = fx >= label.left && fx < label.right && fy >= label.top && fy < label.bottom;
      if (!flat || under_label) continue;
      ++checked;
      if (channel_gap(face.At(fx, fy), artwork.At(x, y)) > 6) ++misplaced;
    }
  }
  EXPECT_GT(checked, 200);
  EXPECT_EQ(misplaced, 0);
}

// The sum of squared differences between neighbouring pixels, all channels,
// over the artwork pixels x0..x1 x y0..y1 of an image drawn at `scale`
// whose artwork starts at (offset, offset): high where edges are sharp.
double EdgeEnergy(const Image& image, int offset, int scale, const RECT& area) {
  double energy = 0;
  for (int y = offset + area.top * scale; y < offset + area.bottom * scale; ++y)
    for (int x = offset + area.left * scale; x < offset + area.right * scale; ++x)
      for (int shift = 0; shift < 24; shift += 8) {
        const auto at = [&](int ax, int ay) { return static_cast<int>((image.At(ax, ay) >> shift) & 0xFF); };
        const double dx = at(x + 1, y) - at(x, y), dy = at(x, y + 1) - at(x, y);
        energy += dx * dx + dy * dy;
      }
  return energy;
}

// At 192 dpi, opened there or moved there from 96, the face is the 2x
// rendition pixel for pixel (except under the label), and its text is
// sharper than the 1x picture scaled up by the same filter: 1.39 to 1.56
// times the edge energy in the text areas (2.8 to 4.3 times the smooth
// scaling of the 1x that came before the 2x).
TEST(Dpi192, FaceIsTheTwoXRenditionWithSharperText) {
  const Image one = ReadBmp(KVD_ASSETS "/artwork.bmp");
  const Image two = ReadBmp(KVD_ASSETS "/artwork@2x.bmp");
  ASSERT_EQ(two.width, 2 * one.width);
  // Artwork pixels: systems line, credits, studio and copyright, title.
  const RECT text_areas[] = {{318, 8, 470, 28}, {244, 46, 470, 140}, {336, 184, 470, 224}, {14, 8, 172, 58}};
  for (const auto& [open_dpi, moved_to_dpi] : {std::pair{192, 0}, {96, 192}}) {
    Launcher launcher(open_dpi);
    OpenAndMove(launcher, moved_to_dpi);
    const int dpi = launcher.runtime->Dpi();
    SCOPED_TRACE(::testing::Message() << "opened at " << open_dpi << ", now " << dpi);
    const Image face = CaptureClient(launcher.Picture());
    const int width = static_cast<int>(std::lround(one.width * dpi / 96.0));
    const int height = static_cast<int>(std::lround(one.height * dpi / 96.0));
    ASSERT_EQ(face.width, 2 + width);
    ASSERT_EQ(face.height, 2 + height);
    if (dpi == 192) {
      const RECT label = launcher.runtime->PixelRect(launcher.frm->LabelFont);
      int differing = 0;
      for (int y = 0; y < two.height; ++y)
        for (int x = 0; x < two.width; ++x) {
          const bool in_label =
              x + 1 >= label.left && x + 1 < label.right && y + 1 >= label.top && y + 1 < label.bottom;
          if (!in_label && face.At(x + 1, y + 1) != two.At(x, y)) ++differing;
        }
      EXPECT_EQ(differing, 0);
    }
    // The same areas of the 1x picture scaled to this size.
    const Image blurred = forms::picture::ScaleSmooth(one, width, height);
    for (const RECT& area : text_areas) {
      const double ratio = EdgeEnergy(face, 1, 2, area) / EdgeEnergy(blurred, 0, 2, area);
      EXPECT_GT(ratio, 1.3) << "text area from x " << area.left << ", y " << area.top;
    }
  }
}

// A reference downscale of high quality, in doubles: Lanczos of three lobes,
// stretched over each target pixel, one axis at a time.
Image LanczosReference(const Image& source, int width, int height) {
  const auto kernel = [](double t) {
    t = std::fabs(t);
    if (t < 1e-9) return 1.0;
    if (t >= 3) return 0.0;
    const double p = 3.14159265358979 * t;
    return 3 * std::sin(p) * std::sin(p / 3) / (p * p);
  };
  // out[o] = sum of in[i] weighted, along one axis of `from` samples.
  const auto weights = [&kernel](int from, int to) {
    std::vector<std::vector<std::pair<int, double>>> all(static_cast<std::size_t>(to));
    const double scale = static_cast<double>(from) / to, stretch = std::max(1.0, scale);
    for (int o = 0; o < to; ++o) {
      const double centre = (o + 0.5) * scale;
      double sum = 0;
      for (int i = static_cast<int>(centre - 3 * stretch) - 1; i <= centre + 3 * stretch + 1; ++i)
        if (i >= 0 && i < from) sum += all[o].emplace_back(i, kernel((i + 0.5 - centre) / stretch)).second;
      for (auto& w : all[o]) w.second /= sum;
    }
    return all;
  };
  const auto across = weights(source.width, width), down = weights(source.height, height);
  std::vector<double> wide(static_cast<std::size_t>(width) * source.height * 3);
  for (int y = 0; y < source.height; ++y)
    for (int x = 0; x < width; ++x)
      for (const auto& [i, w] : across[x])
        for (int c = 0; c < 3; ++c)
          wide[(static_cast<std::size_t>(y) * width + x) * 3 + c] += w * ((source.At(i, y) >> (8 * c)) & 0xFF);
  Image out{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      double channel[3] = {};
      for (const auto& [i, w] : down[y])
        for (int c = 0; c < 3; ++c) channel[c] += w * wide[(static_cast<std::size_t>(i) * width + x) * 3 + c];
      for (int c = 0; c < 3; ++c)
        out.data[static_cast<std::size_t>(y) * width + x] |=
            static_cast<std::uint32_t>(std::clamp(std::lround(channel[c]), 0L, 255L)) << (8 * c);
    }
  return out;
}

// At 120 and 144 dpi the face is the 2x rendition scaled down, and its text
// is as crisp as a Lanczos downscale of the 2x picture: each text area keeps
// at least 0.98 of the reference's edge energy (the bilinear scaling it
// replaced kept 0.79 to 1.03, below 0.98 in six of the eight areas).
TEST(Dpi, TextBetween100And200PercentIsAsCrispAsAHighQualityDownscale) {
  const Image two = ReadBmp(KVD_ASSETS "/artwork@2x.bmp");
  const RECT text_areas[] = {{318, 8, 470, 28}, {244, 46, 470, 140}, {336, 184, 470, 224}, {14, 8, 172, 58}};
  for (const int dpi : {120, 144}) {
    Launcher launcher(dpi);
    launcher.Open();
    SCOPED_TRACE(::testing::Message() << dpi << " dpi");
    const Image face = CaptureClient(launcher.Picture());
    const int width = face.width - 2, height = face.height - 2;
    const Image reference = LanczosReference(two, width, height);
    for (const RECT& area : text_areas) {
      const RECT scaled{area.left * dpi / 96, area.top * dpi / 96, area.right * dpi / 96, area.bottom * dpi / 96};
      const double ratio = EdgeEnergy(face, 1, 1, scaled) / EdgeEnergy(reference, 0, 1, scaled);
      EXPECT_GE(ratio, 0.98) << "text area from x " << area.left << ", y " << area.top;
    }
  }
}

// Stops the opening's timer and makes its ticks by hand, so that two windows
// can be compared at the same step.
void TickByHand(Launcher& launcher, int ticks) {
  launcher.frm->TimerForm.Enabled = false;
  for (int i = 0; i < ticks; ++i) launcher.frm->Window.Deliver([&launcher] { launcher.frm->TimerForm_Timer(); });
}

// Moved from 96 dpi to 120, 144 and 192 and back every 5 ticks, while
// growing and once open (it finishes at 144 dpi): after each move the window
// stands where the system suggested, at the size of a window opened at that
// dpi and ticked as often, and its picture and buttons are that window's, to
// the pixel.
TEST(DpiChange, AMovedWindowIsTheWindowOpenedThere) {
  Launcher moved(96);
  int ticks = 0;
  for (const int dpi : {120, 96, 144, 96, 192, 96, 144, 120, 192, 144, 96}) {
    const int next = std::min(ticks + 5, 40);
    TickByHand(moved, next - ticks);
    ticks = next;
    const RECT suggested = MoveToDpi(moved, dpi);
    Launcher opened(dpi);
    TickByHand(opened, ticks);
    SCOPED_TRACE(::testing::Message() << dpi << " dpi after " << ticks << " ticks");
    const RECT at = ScreenRect(moved.Window()), there = ScreenRect(opened.Window());
    EXPECT_EQ(at.left, suggested.left);
    EXPECT_EQ(at.top, suggested.top);
    EXPECT_EQ(at.right - at.left, there.right - there.left);
    EXPECT_EQ(at.bottom - at.top, there.bottom - there.top);
    for (const auto& [mine, theirs] : {std::pair{moved.Picture(), opened.Picture()},
                                       {moved.Button(moved.frm->CmdOK), opened.Button(opened.frm->CmdOK)},
                                       {moved.Button(moved.frm->CmdExit), opened.Button(opened.frm->CmdExit)}}) {
      const RECT a = ChildRect(mine), b = ChildRect(theirs);
      EXPECT_TRUE(EqualRect(&a, &b)) << a.right - a.left << " x " << a.bottom - a.top << " at " << a.left << ", "
                                     << a.top << " against " << b.right - b.left << " x " << b.bottom - b.top;
      const Image x = CaptureClient(mine), y = CaptureClient(theirs);
      EXPECT_TRUE(x.width == y.width && x.height == y.height && x.data == y.data);
    }
  }
}

// The e-mail label, plain and under the pointer, opened at each dpi or moved
// to 192 dpi after opening: the auto-sized rectangle (the pointer's hit area
// and the paint's clip) holds every glyph pixel of the caption, so a label
// wide enough to clip nothing draws exactly the same pixels.
TEST(LabelPainting, AutoSizedRectangleHoldsTheWholeCaption) {
  for (const auto& [open_dpi, moved_to_dpi] : {std::pair{96, 0}, {120, 0}, {144, 0}, {192, 0}, {96, 192}}) {
    Launcher launcher(open_dpi);
    OpenAndMove(launcher, moved_to_dpi);
    forms::Control& label = launcher.frm->LabelFont;
    for (const bool hovered : {false, true}) {
      SCOPED_TRACE(::testing::Message() << "dpi " << launcher.runtime->Dpi() << (hovered ? ", hovered" : ", plain"));
      const RECT r = launcher.runtime->PixelRect(label);
      if (hovered) MoveTo(launcher.Picture(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
      ASSERT_EQ(label.Font.Underline.Get(), hovered);
      const Image sized = CaptureClient(launcher.Picture());
      const float width = label.Width;
      label.Width = width + 3000.0f;
      const Image wide = CaptureClient(launcher.Picture());
      label.Visible = false;
      const Image bare = CaptureClient(launcher.Picture());
      label.Visible = true;
      label.Width = width;
      int glyph_pixels = 0, outside = 0, cut = 0, rightmost = -1;
      for (int y = 0; y < bare.height; ++y) {
        for (int x = 0; x < bare.width; ++x) {
          if (wide.At(x, y) == bare.At(x, y)) continue;
          ++glyph_pixels;
          rightmost = std::max(rightmost, x);
          if (x < r.left || x >= r.right || y < r.top || y >= r.bottom) ++outside;
          if (sized.At(x, y) != wide.At(x, y)) ++cut;
        }
      }
      EXPECT_GT(glyph_pixels, 100);
      EXPECT_EQ(outside, 0) << "rightmost glyph column " << rightmost << ", label ends before " << r.right;
      EXPECT_EQ(cut, 0);
    }
  }
}

}  // namespace
}  // namespace kvd_test
