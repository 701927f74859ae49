#pragma once
// A property of a control: holds exactly the value last written and tells its
// control after every write, so that the backend can mirror the change onto
// the native object. Reading never touches the backend.
#include <cstdint>

namespace forms {

class Control;

enum class Prop : std::uint8_t {
  Left,
  Top,
  Width,
  Height,
  Enabled,
  Visible,
  Caption,
  ForeColor,
  Font,  // any attribute of the control's own font object
  Interval,
};

// Implemented in form.cpp: mirrors the change; may fail (forms::Raise).
void PropertyWritten(Control& owner, Prop id);

template <class T>
class Property {
 public:
  Property(Control* owner, Prop id, T initial) : owner_(owner), id_(id), value_(initial) {}
  Property(const Property&) = delete;

  operator const T&() const noexcept { return value_; }  // NOLINT: reads like a plain value
  const T& Get() const noexcept { return value_; }

  // Writes the value and mirrors it; a failed mirror is a failure of the
  // write (forms::Raise), which ends the program.
  Property& operator=(T value) {
    value_ = static_cast<T&&>(value);
    PropertyWritten(*owner_, id_);
    return *this;
  }
  Property& operator=(const Property& other) { return *this = T(other.value_); }

  // Sets the value during construction, before any native object exists.
  void Init(T value) { value_ = static_cast<T&&>(value); }

 private:
  Control* owner_;
  Prop id_;
  T value_;
};

}  // namespace forms
