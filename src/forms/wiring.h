#pragma once
// Which handler of a window's handler class is connected to which event of
// which control, as fixed data.
#include <span>
#include <string>

#include "forms/error.h"
#include "forms/form.h"

namespace forms {

enum class Event : std::uint8_t { Load, Click, MouseDown, MouseMove, Timer };

template <class Handlers>
struct EventWire {
  const char* source;
  Event event;
  void (Handlers::*plain)() = nullptr;
  void (Handlers::*mouse)(int button, int shift, float x, float y) = nullptr;
};

template <class Handlers>
void Connect(Form& form, Handlers& handlers, std::span<const EventWire<Handlers>> wires) {
  for (const EventWire<Handlers>& wire : wires) {
    Control* source = form.Find(wire.source);
    if (source == nullptr) throw RuntimeError(std::string("no control named ") + wire.source);
    auto plain = [&handlers, fn = wire.plain] { (handlers.*fn)(); };
    auto mouse = [&handlers, fn = wire.mouse](int b, int s, float x, float y) { (handlers.*fn)(b, s, x, y); };
    switch (wire.event) {
      case Event::Load:
        form.Load = plain;
        break;
      case Event::Click:
        source->Click = plain;
        break;
      case Event::Timer:
        static_cast<Timer&>(*source).Tick = plain;
        break;
      case Event::MouseDown:
        source->MouseDown = mouse;
        break;
      case Event::MouseMove:
        source->MouseMove = mouse;
        break;
    }
  }
}

}  // namespace forms
