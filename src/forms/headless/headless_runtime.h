#pragma once
// A deterministic backend with no window system: a virtual clock that
// delivers timer ticks in time order, injected pointer and keyboard input
// hit-tested against the model's geometry, scripted message-box answers, a
// configurable screen and a record of every shell request.
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "forms/form.h"
#include "forms/runtime.h"

namespace forms::headless {

struct PictureInfo {
  int width_px = 481;
  int height_px = 258;
  int dpi = 96;  // the picture's own resolution
};

struct Question {
  NativeHandle owner;
  std::string prompt;
  int style;
  std::string title;
  long long at_ms;
};

struct ShellRecord {
  ShellRequest request;
  long long at_ms;
  bool window_shown;  // whether the window was on screen when it was asked
};

class HeadlessRuntime : public Runtime {
 public:
  HeadlessRuntime();

  // Configuration, before the window is created.
  ScreenInfo screen;
  std::string app_folder = "C:\\Keyvandor";
  std::map<std::string, PictureInfo> pictures{{"artwork", {}}};

  // Virtual clock: delivers every tick due up to now + ms, one at a time.
  void Advance(long long ms);
  long long Now() const noexcept { return now_; }

  // Pointer input in pixels of the window's client area.
  void MoveTo(int x, int y);
  void Press(int button);
  void Release(int button);
  void ClickAt(int x, int y);  // move, left press and release
  void Key(forms::Key key);
  void RequestClose();  // the window system asks the window to close

  // Message boxes take the next scripted answer (Cancel when none is left);
  // while_asking runs while the question is open, before it is answered.
  std::deque<int> answers;
  std::function<void()> while_asking;
  std::vector<Question> questions;
  std::vector<ShellRecord> shell_requests;
  std::vector<std::string> created;  // names of native objects, in creation order

  // Makes the nth (1-based) later write of property on the named control fail.
  void FailOn(const std::string& control, Prop property, int nth = 1);

  bool ended() const noexcept { return ended_; }
  int exit_status() const noexcept { return exit_status_; }
  long long ended_at() const noexcept { return ended_at_; }
  bool shown() const noexcept { return shown_; }
  Form* form() const noexcept { return form_; }
  // The control that takes pointer input at a point, as the window system would.
  Control* HitTest(int x, int y) const;
  // A control's rectangle in pixels of the window's client area.
  struct Rect {
    int left, top, right, bottom;
  };
  Rect PixelRect(const Control& control) const;
  float TwipsPerPixel() const noexcept { return 1440.0f / static_cast<float>(screen.dpi); }

  // Runtime.
  void CreatePeer(Control& control) override;
  void PropertyChanged(Control& control, Prop property) override;
  SizeTwips MeasureAutoSize(const Control& control) override;
  void ShowForm(Form& form) override;
  void FocusChanged(Form& form, Control* focus) override;
  NativeHandle WindowHandle(const Form& form) override;
  void Unload(Form& form) override;
  void EndProgram(int status) override;
  void StartTimer(Timer& timer) override;
  void StopTimer(Timer& timer) override;
  int MsgBox(Form& owner, const std::string& prompt, int style, const std::string& title) override;
  ScreenInfo Screen() override { return screen; }
  std::string AppFolder() override { return app_folder; }
  int ShellStart(const ShellRequest& request) override;

 private:
  struct Running {
    Timer* timer;
    long long due;
    int order;
  };
  struct Failure {
    std::string control;
    Prop property;
    int remaining;
  };
  void MouseEvent(Control& target, MouseHandler Control::*event, int buttons);

  Form* form_ = nullptr;
  std::vector<Running> timers_;
  std::vector<Failure> failures_;
  int sequence_ = 0;  // breaks ties between timers due at the same moment
  long long now_ = 0;
  int x_ = -1, y_ = -1;
  int buttons_ = 0;
  Control* pressed_ = nullptr;
  bool shown_ = false;
  bool ended_ = false;
  int exit_status_ = -1;
  long long ended_at_ = -1;
};

}  // namespace forms::headless
