#include "forms/definition.h"

#include <string>

#include "forms/error.h"

namespace forms {
namespace {

void InitFont(FontObject& font, const FontDef& def) {
  font.Name.Init(def.name);
  font.Size.Init(def.size);
  font.Weight.Init(def.weight);
}

void InitCommon(Control& c, const ControlDef& def, const FontDef& window_font) {
  c.Left.Init(def.left);
  c.Top.Init(def.top);
  c.Width.Init(def.width);
  c.Height.Init(def.height);
  c.Caption.Init(def.caption);
  c.Enabled.Init(def.enabled);
  c.Visible.Init(def.visible);
  c.ForeColor.Init(def.fore_color);
  InitFont(c.Font, def.font != nullptr ? *def.font : window_font);
  c.Picture = def.picture;
  c.MouseIcon = def.mouse_icon;
  c.AutoSize = def.auto_size;
  c.TabStop = def.tab_stop;
  c.TabIndex = def.tab_index;
}

}  // namespace

std::unique_ptr<Form> CreateForm(const FormDef& def, Runtime& runtime) {
  auto form = std::make_unique<Form>(def.name, runtime);
  form->Width.Init(def.width);
  form->Height.Init(def.height);
  form->Caption.Init(def.caption);
  form->BackColor = def.back_color;
  form->Icon = def.icon;
  form->Visible.Init(false);
  InitFont(form->Font, def.font);
  form->CreateNative(*form);

  for (const ControlDef& c : def.controls) {
    Control* container = nullptr;
    if (*c.container != '\0') {
      container = &form->Get(c.container);
      if (container == form.get()) container = nullptr;
    }
    Control& control = form->Add(c.kind, c.name, container);
    InitCommon(control, c, def.font);
    if (c.kind == Kind::Timer) form->GetTimer(c.name).Interval.Init(c.interval);
    form->CreateNative(control);
  }
  return form;
}

}  // namespace forms
