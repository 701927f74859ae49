#pragma once
// Which handler of a window's handler class is connected to which event of
// which control, as fixed data. Each kind of event has its own constructor
// that takes only a handler of that event's signature, so a handler of the
// wrong shape does not build; a source name that the window does not have,
// or a timer event on a control that is not a timer, fails once when the
// window is created, with a message that names it.
#include <span>

#include "forms/form.h"

namespace forms {

enum class Event : std::uint8_t { Load, Click, MouseDown, MouseMove, Timer };

template <class Handlers>
struct EventWire {
  using Plain = void (Handlers::*)();
  using Mouse = void (Handlers::*)(int button, int shift, float x, float y);

  static constexpr EventWire Load(Plain handler) { return {"", Event::Load, handler, nullptr}; }
  static constexpr EventWire Click(const char* source, Plain handler) {
    return {source, Event::Click, handler, nullptr};
  }
  static constexpr EventWire Timer(const char* source, Plain handler) {
    return {source, Event::Timer, handler, nullptr};
  }
  static constexpr EventWire MouseDown(const char* source, Mouse handler) {
    return {source, Event::MouseDown, nullptr, handler};
  }
  static constexpr EventWire MouseMove(const char* source, Mouse handler) {
    return {source, Event::MouseMove, nullptr, handler};
  }

  const char* source;
  Event event;
  Plain plain;
  Mouse mouse;
};

template <class Handlers>
void Connect(Form& form, Handlers& handlers, std::span<const EventWire<Handlers>> wires) {
  for (const EventWire<Handlers>& wire : wires) {
    auto plain = [&handlers, fn = wire.plain] { (handlers.*fn)(); };
    auto mouse = [&handlers, fn = wire.mouse](int b, int s, float x, float y) { (handlers.*fn)(b, s, x, y); };
    switch (wire.event) {
      case Event::Load:
        form.Load = plain;
        break;
      case Event::Click:
        form.Get(wire.source).Click = plain;
        break;
      case Event::Timer:
        form.GetTimer(wire.source).Tick = plain;
        break;
      case Event::MouseDown:
        form.Get(wire.source).MouseDown = mouse;
        break;
      case Event::MouseMove:
        form.Get(wire.source).MouseMove = mouse;
        break;
    }
  }
}

}  // namespace forms
