#pragma once
// The forms object model shared by every backend: a window and its controls
// as property holders, each with a font object of its own, and the event
// slots that a window definition wires handlers to.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "forms/callback.h"
#include "forms/property.h"

namespace forms {

class Form;
class Runtime;

using Color = std::uint32_t;                      // 0x00BBGGRR
inline constexpr Color kButtonFace = 0x8000000F;  // the system's 3-D face colour

enum class Kind : std::uint8_t { Form, PictureBox, CommandButton, Label, Timer };

// Button mask of pointer events: 1 left, 2 right, 4 middle.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;

using MouseHandler = Callback<void(int button, int shift, float x, float y)>;

// A control's own font. Every attribute write is reported as Prop::Font.
struct FontObject {
  explicit FontObject(Control* owner)
      : Name(owner, Prop::Font, {}),
        Size(owner, Prop::Font, 9.0f),
        Weight(owner, Prop::Font, 400),
        Italic(owner, Prop::Font, false),
        Underline(owner, Prop::Font, false),
        Strikethrough(owner, Prop::Font, false) {}
  Property<std::string> Name;  // UTF-8 face name
  Property<float> Size;        // points
  Property<int> Weight;        // 400 regular, 700 bold
  Property<bool> Italic;
  Property<bool> Underline;
  Property<bool> Strikethrough;
};

class Control {
 public:
  Control(Kind kind, std::string name, Form* form, Control* container);
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control() = default;

  Kind GetKind() const noexcept { return kind_; }
  const std::string& Name() const noexcept { return name_; }
  Form& Owner() const noexcept { return *form_; }
  Control* Container() const noexcept { return container_; }

  // Geometry in twips relative to the container's client area (screen twips
  // and outer size for a window).
  Property<float> Left{this, Prop::Left, 0.0f};
  Property<float> Top{this, Prop::Top, 0.0f};
  Property<float> Width{this, Prop::Width, 0.0f};
  Property<float> Height{this, Prop::Height, 0.0f};
  Property<bool> Enabled{this, Prop::Enabled, true};
  Property<bool> Visible{this, Prop::Visible, true};
  Property<std::string> Caption{this, Prop::Caption, {}};  // UTF-8
  Property<Color> ForeColor{this, Prop::ForeColor, 0};
  FontObject Font{this};

  // Set from the definition before the native object exists.
  Color BackColor = kButtonFace;
  std::string Picture;    // resource name of a picture box's or window's image
  std::string MouseIcon;  // resource name of the pointer image over the control
  bool AutoSize = false;
  bool TabStop = false;
  int TabIndex = 0;

  // What a label that acts as a link opens ("mailto:..."), set by the
  // window's code: its value for assistive technology. Empty: not a link.
  std::string LinkTarget;

  // Events. An empty slot means no handler is connected.
  Callback<void()> Click;
  MouseHandler MouseDown;
  MouseHandler MouseMove;

  // The backend's native object for this control.
  void* peer = nullptr;

 private:
  friend class Form;
  Kind kind_;
  std::string name_;
  Form* form_;
  Control* container_;
};

class Timer : public Control {
 public:
  Timer(std::string name, Form* form, Control* container);
  Property<int> Interval{this, Prop::Interval, 0};  // milliseconds
  Callback<void()> Tick;

 private:
  friend class Form;
  bool tick_pending_ = false;  // a tick waits for the running handler to return
};

}  // namespace forms
