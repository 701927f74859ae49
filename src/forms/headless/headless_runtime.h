#pragma once
// A deterministic backend with no window system: a virtual clock that
// delivers timer ticks in time order, injected pointer and keyboard input
// handed to the window's door as a window system would, scripted message-box
// answers and a configurable screen.
#include <map>
#include <string>
#include <vector>

#include "forms/form.h"
#include "forms/headless/scripted_answers.h"
#include "forms/layout.h"
#include "forms/runtime.h"

namespace forms::headless {

// The artwork's size as the launcher ships it.
inline constexpr PictureSize kArtworkSize{481, 258, 96};

struct Question {
  NativeHandle owner;
  std::string prompt;
  int style;
  std::string title;
  long long at_ms;
};

class HeadlessRuntime : public Runtime, public ScriptedAnswers {
 public:
  HeadlessRuntime();

  // Configuration, before the window is created.
  ScreenInfo screen;
  std::map<std::string, PictureSize> pictures{{"artwork", kArtworkSize}};

  // Virtual clock: delivers every tick due up to now + ms, one at a time.
  void Advance(long long ms);
  long long Now() const noexcept { return now_; }

  // Raw input, as a window system would hand it to the window: pointer
  // positions in pixels of the window's client area.
  void MoveTo(int x, int y);
  void Press(int button);
  void Release(int button);
  void ClickAt(int x, int y);  // move, left press and release
  void Key(forms::Key key, bool repeat = false);
  void RequestClose();  // the window system asks the window to close
  // The window moved to a monitor of another dpi; the window system put its
  // top-left corner at left, top (pixels of the new scale).
  void MoveToDpi(int dpi, int left, int top);

  // Message boxes take the next scripted answer (ScriptedAnswers).
  std::vector<Question> questions;
  std::vector<std::string> created;  // names of native objects, in creation order

  // Makes the nth (1-based) later write of property on the named control fail.
  void FailOn(const std::string& control, Prop property, int nth = 1);

  bool ended() const noexcept { return ended_; }
  int exit_status() const noexcept { return exit_status_; }
  long long ended_at() const noexcept { return ended_at_; }
  bool shown() const noexcept { return shown_; }
  Form* form() const noexcept { return form_; }
  // Conveniences for tests: the model's answers in pixels.
  Control* ControlAt(int x, int y) const;
  PixelRect RectOf(const Control& control) const { return RectInWindow(control, Grid()); }
  PixelGrid Grid() const noexcept { return {screen.dpi}; }
  bool captured() const noexcept { return captured_; }
  const Control* shown_pressed() const noexcept { return shown_pressed_; }

  // Runtime.
  void CreatePeer(Control& control) override;
  void PropertyChanged(Control& control, Prop property) override;
  SizeTwips MeasureAutoSize(const Control& control) override;
  void PerformShowStep(Form& form, ShowStep step) override;
  void FocusChanged(Form& form, Control* focus) override;
  void CaptureChanged(Form& form, bool captured) override;
  void ShowPressed(Control& button, bool pressed) override;
  NativeHandle WindowHandle(const Form& form) override;
  void Unload(Form& form) override;
  void EndProgram(int status) override;
  void StartTimer(Timer& timer, int interval_ms) override;
  void StopTimer(Timer& timer) override;
  int MsgBox(Form& owner, const std::string& prompt, int style, const std::string& title) override;
  ScreenInfo Screen() override { return screen; }

 private:
  struct Running {
    Timer* timer;
    int interval;
    long long due;
    int order;
  };
  struct Failure {
    std::string control;
    Prop property;
    int remaining;
  };
  PointTwips Pointer() const noexcept { return {Grid().Twips(x_), Grid().Twips(y_)}; }
  // Hands an event to the window behind its guard, as a window system's
  // message reaches it.
  template <class Entry>
  void Enter(Entry&& entry) {
    if (form_ != nullptr) form_->Guarded(entry);
  }

  Form* form_ = nullptr;
  std::vector<Running> timers_;
  std::vector<Failure> failures_;
  int sequence_ = 0;  // breaks ties between timers due at the same moment
  long long now_ = 0;
  int x_ = -1, y_ = -1;
  int buttons_ = 0;
  bool captured_ = false;
  const Control* shown_pressed_ = nullptr;
  bool shown_ = false;
  bool ended_ = false;
  int exit_status_ = -1;
  long long ended_at_ = -1;
};

}  // namespace forms::headless
