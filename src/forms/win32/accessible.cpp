// The picture box's object for screen readers (MSAA). It answers for the
// picture itself and for its links, and hands every other question to the
// window system's standard object for the same window. A link's default
// action enters the window's door like a click, so that its looks, its
// click handler and everything they do are exactly those of a click.
#include "forms/win32/accessible.h"

#include <oleacc.h>

#include <string>
#include <vector>

#include "forms/accessibility.h"
#include "forms/win32/win32_runtime.h"
#include "windows/system_library.h"
#include "windows/text.h"

namespace forms::win32 {
namespace {

// COM, automation strings and oleacc, loaded when a screen reader first
// asks, so that the launcher imports none of them for it.
struct ScreenReaderFunctions {
  windows::ComFunctions com;
  BSTR(WINAPI* alloc_string)(const OLECHAR*, UINT) = nullptr;
  LRESULT(WINAPI* lresult_from_object)(REFIID, WPARAM, IUnknown*) = nullptr;
  HRESULT(WINAPI* create_standard)(HWND, LONG, REFIID, void**) = nullptr;
  bool loaded = false;

  bool Ready() const {
    return com.Ready() && alloc_string != nullptr && lresult_from_object != nullptr && create_standard != nullptr;
  }
};

ScreenReaderFunctions functions;  // the launcher's windows live on one thread

const ScreenReaderFunctions& Com() {
  if (!functions.loaded) {
    functions.loaded = true;
    functions.com = windows::LoadCom();
    windows::FindFunction(windows::LoadSystemLibrary(L"oleaut32.dll"), "SysAllocStringLen", functions.alloc_string);
    const HMODULE oleacc = windows::LoadSystemLibrary(L"oleacc.dll");
    windows::FindFunction(oleacc, "LresultFromObject", functions.lresult_from_object);
    windows::FindFunction(oleacc, "CreateStdAccessibleObject", functions.create_standard);
  }
  return functions;
}

HRESULT Text(std::string_view utf8, BSTR* out) {
  if (out == nullptr) return E_POINTER;
  const std::wstring wide = windows::Widen(utf8);
  *out = Com().alloc_string(wide.c_str(), static_cast<UINT>(wide.size()));
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT NoText(BSTR* out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  return S_FALSE;
}

HRESULT Number(LONG value, VARIANT* out) {
  if (out == nullptr) return E_POINTER;
  out->vt = VT_I4;
  out->lVal = value;
  return S_OK;
}

LONG RoleOf(AccessibleRole role) { return role == AccessibleRole::Link ? ROLE_SYSTEM_LINK : ROLE_SYSTEM_GRAPHIC; }

LONG StatesOf(std::uint32_t states) {
  LONG flags = 0;
  if ((states & kAccessibleLinked) != 0) flags |= STATE_SYSTEM_LINKED;
  if ((states & kAccessibleInvisible) != 0) flags |= STATE_SYSTEM_INVISIBLE;
  if ((states & kAccessibleUnavailable) != 0) flags |= STATE_SYSTEM_UNAVAILABLE;
  if ((states & kAccessibleFocusable) != 0) flags |= STATE_SYSTEM_FOCUSABLE;
  return flags;
}

}  // namespace

// A COM object is destroyed by its own Release, never through an interface
// pointer, so the interfaces need no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class PictureAccessible final : public IAccessible, public IOleWindow, public IEnumVARIANT {
 public:
  PictureAccessible(Peer& picture, IAccessible* standard) : picture_(&picture), standard_(standard) {}

  // Called once, when the window goes: the standard object is let go and
  // COM's connections to other processes are cut.
  void Disconnect() noexcept {
    picture_ = nullptr;
    if (standard_ != nullptr) standard_->Release();
    standard_ = nullptr;
    Com().com.disconnect(static_cast<IAccessible*>(this), 0);
  }

  // IUnknown.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible)
      *out = static_cast<IAccessible*>(this);
    else if (iid == IID_IOleWindow)
      *out = static_cast<IOleWindow*>(this);
    else if (iid == IID_IEnumVARIANT)
      *out = static_cast<IEnumVARIANT*>(this);
    else
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch: screen readers call the methods directly.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // IOleWindow: the window this object stands for.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (window == nullptr) return E_POINTER;
    *window = picture_ != nullptr ? picture_->window : nullptr;
    return picture_ != nullptr ? S_OK : RPC_E_DISCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IEnumVARIANT: the children, as screen readers list them: the links,
  // then those the standard object lists (the buttons' windows).
  HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* children, ULONG* fetched) override {
    if (!Live()) return RPC_E_DISCONNECTED;
    if (children == nullptr) return E_POINTER;
    const auto links = static_cast<ULONG>(Links().size());
    ULONG got = 0;
    for (; got < count && next_ < links; ++got) Number(static_cast<LONG>(++next_), &children[got]);
    IEnumVARIANT* windows = nullptr;
    if (got < count && SUCCEEDED(standard_->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&windows)))) {
      ULONG more = 0;
      windows->Reset();
      if (next_ == links || windows->Skip(next_ - links) == S_OK) windows->Next(count - got, children + got, &more);
      windows->Release();
      got += more;
      next_ += more;
    }
    if (fetched != nullptr) *fetched = got;
    return got == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    LONG children = 0;
    const HRESULT known = get_accChildCount(&children);
    if (FAILED(known)) return known;
    next_ += count;
    return next_ <= static_cast<ULONG>(children) ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    next_ = 0;
    return Live() ? S_OK : RPC_E_DISCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT**) override { return E_NOTIMPL; }

  // IAccessible: the picture's own questions.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return Live() ? standard_->get_accParent(parent) : RPC_E_DISCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (!Live()) return RPC_E_DISCONNECTED;
    if (count == nullptr) return E_POINTER;
    LONG windows = 0;
    if (FAILED(standard_->get_accChildCount(&windows))) windows = 0;
    *count = windows + static_cast<LONG>(Links().size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* id) override {
    return Live() ? standard_->get_accFocus(id) : RPC_E_DISCONNECTED;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* ids) override {
    return Live() ? standard_->get_accSelection(ids) : RPC_E_DISCONNECTED;
  }
  // A point on a link is that link; elsewhere the standard object answers
  // (the picture, or one of its buttons).
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* id) override {
    if (!Live()) return RPC_E_DISCONNECTED;
    const int link = Model().LinkAt(picture_->runtime->ToWindowTwips(HWND_DESKTOP, {x, y}));
    return link != 0 ? Number(link, id) : standard_->accHitTest(x, y, id);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  // IAccessible: questions about one child, the picture itself or a link.
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT id, IDispatch** child) override {
    return For(
        id, [&] { return standard_->get_accChild(id, child); },
        [&](Control&) {
          if (child == nullptr) return E_POINTER;
          *child = nullptr;
          return S_FALSE;  // a link is a simple element, not an object
        },
        [&] { return standard_->get_accChild(id, child); });
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR* name) override {
    return For(
        id, [&] { return Text(Model().Name(), name); }, [&](Control& link) { return Text(Describe(link).name, name); });
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT id, BSTR* value) override {
    return For(
        id, [&] { return standard_->get_accValue(id, value); },
        [&](Control& link) { return Text(Describe(link).value, value); });
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT id, BSTR* description) override {
    return PictureText(id, description, &IAccessible::get_accDescription);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT* role) override {
    return For(
        id, [&] { return Number(RoleOf(Model().Role()), role); },
        [&](Control& link) { return Number(RoleOf(Describe(link).role), role); });
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT* state) override {
    return For(
        id, [&] { return standard_->get_accState(id, state); },
        [&](Control& link) { return Number(StatesOf(Describe(link).states), state); });
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT id, BSTR* help) override {
    return PictureText(id, help, &IAccessible::get_accHelp);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT id, LONG* topic) override {
    return For(
        id, [&] { return standard_->get_accHelpTopic(file, id, topic); },
        [&](Control&) {
          if (topic != nullptr) *topic = 0;
          return NoText(file);
        });
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT id, BSTR* shortcut) override {
    return PictureText(id, shortcut, &IAccessible::get_accKeyboardShortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR* action) override {
    return For(
        id, [&] { return standard_->get_accDefaultAction(id, action); },
        [&](Control& link) { return Text(Describe(link).default_action, action); });
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT id) override {
    return For(
        id, [&] { return standard_->accSelect(flags, id); }, [&](Control&) { return DISP_E_MEMBERNOTFOUND; });
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT id) override {
    return For(
        id, [&] { return standard_->accLocation(left, top, width, height, id); },
        [&](Control& link) {
          if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) return E_POINTER;
          const PixelRect in_window = Describe(link).rect;
          RECT r{in_window.left, in_window.top, in_window.right, in_window.bottom};
          ::MapWindowPoints(picture_->runtime->WindowOf(link.Owner()), HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
          *left = r.left;
          *top = r.top;
          *width = r.right - r.left;
          *height = r.bottom - r.top;
          return S_OK;
        });
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    return For(
        start, [&] { return standard_->accNavigate(direction, start, end); },
        [&](Control&) {
          if (end == nullptr) return E_POINTER;
          end->vt = VT_EMPTY;
          return S_FALSE;
        });
  }
  // The link is pressed and released at the window's door, as a click.
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT id) override {
    return For(
        id, [&] { return standard_->accDoDefaultAction(id); },
        [&](Control& link) {
          // COM delivers the call through a window of its own: it enters the
          // model behind the window's guard like any other message.
          bool done = false;
          link.Owner().Guarded([&link, &done] { done = link.Owner().DoDefaultAction(link); });
          return done ? S_OK : DISP_E_MEMBERNOTFOUND;
        });
  }

 private:
  ~PictureAccessible() = default;

  bool Live() const noexcept { return picture_ != nullptr; }

  AccessiblePicture Model() const { return AccessiblePicture(*picture_->control); }
  std::vector<Control*> Links() const { return Model().Links(); }
  AccessibleLink Describe(const Control& link) const {
    return Model().Describe(link, PixelGrid{picture_->runtime->Dpi()});
  }

  // Answers for the picture itself, for a link, or else (another child id)
  // for children the standard object knows, or E_INVALIDARG.
  template <class OnPicture, class OnLink, class OnOther>
  HRESULT For(const VARIANT& id, OnPicture on_picture, OnLink on_link, OnOther on_other) {
    if (!Live()) return RPC_E_DISCONNECTED;
    if (id.vt != VT_I4) return E_INVALIDARG;
    if (id.lVal == CHILDID_SELF) return on_picture();
    const std::vector<Control*> links = Links();
    if (id.lVal >= 1 && id.lVal <= static_cast<LONG>(links.size())) return on_link(*links[id.lVal - 1]);
    return on_other();
  }
  template <class OnPicture, class OnLink>
  HRESULT For(const VARIANT& id, OnPicture on_picture, OnLink on_link) {
    return For(id, on_picture, on_link, [] { return E_INVALIDARG; });
  }
  // A text that only the picture has, from the standard object.
  HRESULT PictureText(const VARIANT& id, BSTR* out, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
    return For(
        id, [&] { return (standard_->*get)(id, out); }, [&](Control&) { return NoText(out); });
  }

  ULONG references_ = 1;
  ULONG next_ = 0;  // the child Next gives first, counted from 0
  Peer* picture_;
  IAccessible* standard_;
};
#pragma GCC diagnostic pop

// COM is set up on this thread, apartment-threaded, before the first
// answer, so that the calls of other processes arrive here as messages,
// one at a time with everything else. Doing it again is harmless; on a
// thread already set up otherwise the standard object serves.
LRESULT AccessibleSlot::Answer(Peer& picture, WPARAM wparam, LPARAM lparam) {
  if (static_cast<LONG>(static_cast<DWORD>(lparam)) != OBJID_CLIENT || !Com().Ready()) return 0;
  if (object_ == nullptr) {
    if (FAILED(Com().com.initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) return 0;
    void* standard = nullptr;
    if (FAILED(Com().create_standard(picture.window, OBJID_CLIENT, IID_IAccessible, &standard))) return 0;
    object_ = new PictureAccessible(picture, static_cast<IAccessible*>(standard));
  }
  return Com().lresult_from_object(IID_IAccessible, wparam, static_cast<IAccessible*>(object_));
}

void AccessibleSlot::Disconnect() noexcept {
  if (object_ == nullptr) return;
  object_->Disconnect();
  object_->Release();
  object_ = nullptr;
}

}  // namespace forms::win32
