#pragma once
// An event handler or a queued event as a value: a callable whose captures
// are a few references, pointers or numbers (32 bytes at most), kept inside
// the value itself. Copying one copies those bytes; calling one calls through
// one function pointer. Unlike std::function nothing is allocated and no
// copying or destroying code is made per callable, which keeps Setup.exe
// small. A callable that is larger or not trivially copyable does not build.
#include <new>
#include <type_traits>

namespace forms {

// A callable with those arguments, other than a Callback itself (which is copied).
template <class F, class Self, class... Args>
concept OtherCallable = !std::is_same_v<std::remove_cvref_t<F>, Self> && std::is_invocable_v<F&, Args...>;

template <class Signature>
class Callback;

template <class... Args>
class Callback<void(Args...)> {
 public:
  Callback() noexcept = default;

  template <OtherCallable<Callback, Args...> F>
  Callback(F f) noexcept  // NOLINT: converts from a lambda like std::function does
      : call_([](const void* captures, Args... args) { (*static_cast<F*>(const_cast<void*>(captures)))(args...); }) {
    static_assert(sizeof(F) <= sizeof(captures_) && alignof(F) <= alignof(void*),
                  "a handler captures at most 32 bytes");
    static_assert(std::is_trivially_copyable_v<F> && std::is_trivially_destructible_v<F>,
                  "a handler captures references, pointers and numbers only");
    ::new (static_cast<void*>(captures_)) F(f);
  }

  explicit operator bool() const noexcept { return call_ != nullptr; }
  void operator()(Args... args) const { call_(captures_, args...); }

 private:
  void (*call_)(const void* captures, Args... args) = nullptr;
  alignas(void*) unsigned char captures_[32] = {};
};

}  // namespace forms
