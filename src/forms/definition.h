#pragma once
// A window described as fixed data, and the loader that creates a live
// window from it. The description stays apart from the window it builds.
#include <memory>
#include <span>

#include "forms/form.h"

namespace forms {

struct FontDef {
  const char* name = "";
  float size = 9.0f;
  int weight = 400;
};

struct ControlDef {
  Kind kind = Kind::Label;
  const char* name = "";
  const char* container = "";  // empty: the window itself
  float left = 0, top = 0, width = 0, height = 0;
  const char* caption = "";
  bool enabled = true;
  bool visible = true;
  Color fore_color = 0;
  const FontDef* font = nullptr;  // null: a copy of the window's font
  const char* picture = "";
  const char* mouse_icon = "";
  bool auto_size = false;
  bool tab_stop = false;
  int tab_index = 0;
  int interval = 0;  // timers, milliseconds
};

struct FormDef {
  const char* name = "";
  const char* caption = "";
  float width = 0, height = 0;  // client size at creation; the window has no frame
  FontDef font;
  Color back_color = kButtonFace;
  const char* icon = "";
  std::span<const ControlDef> controls;  // in creation order
};

// Creates the window and then its controls in the order given; a timer that
// is enabled in the definition starts counting now. Load has not run yet.
std::unique_ptr<Form> CreateForm(const FormDef& def, Runtime& runtime);

}  // namespace forms
