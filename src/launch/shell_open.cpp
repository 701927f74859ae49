#include "launch/shell_open.h"

#include "forms/form.h"

namespace launch {
namespace {

// "mailto:x", "http://x": a scheme of two or more letters before a colon. A
// single letter before the colon is a drive ("D:\...").
bool IsLink(std::string_view target) {
  const auto colon = target.find(':');
  if (colon == std::string_view::npos || colon < 2) return false;
  for (char c : target.substr(0, colon)) {
    const bool ok =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
    if (!ok) return false;
  }
  return true;
}

bool IsAbsolute(std::string_view target) {
  return target.starts_with("\\\\") ||
         (target.size() >= 3 && target[1] == ':' && (target[2] == '\\' || target[2] == '/'));
}

}  // namespace

std::string ResolveTarget(std::string_view folder, std::string_view target) {
  if (IsLink(target) || IsAbsolute(target) || folder.empty()) return std::string(target);
  std::string path(folder);
  if (path.back() != '\\' && path.back() != '/') path += '\\';
  path += target;
  return path;
}

// A window that has been unloaded (closed while its handler waited for an
// answer, say) starts nothing more.
void ShellOpen(forms::Form& owner, std::string_view verb, std::string_view target) {
  if (!owner.IsLoaded()) return;
  forms::Runtime& runtime = owner.GetRuntime();
  forms::ShellRequest request;
  request.owner = owner.hWnd();
  request.verb = verb;
  request.directory = runtime.AppFolder();
  request.file = ResolveTarget(request.directory, target);
  request.parameters = "";
  request.show = 1;  // shown normally and activated
  (void)runtime.ShellStart(request);
}

}  // namespace launch
