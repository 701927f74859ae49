#include "launch/shell_open.h"

#include "forms/form.h"
#include "forms/program_folder.h"

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

}  // namespace

std::string ResolveTarget(std::string_view folder, std::string_view target) {
  if (IsLink(target)) return std::string(target);
  if (!forms::IsAbsoluteFolder(folder)) return {};  // nowhere safe to start it from
  std::string path(folder);
  if (path.back() != '\\') path += '\\';
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
  if (request.file.empty()) return;
  request.parameters = "";
  request.show = 1;  // shown normally and activated
  (void)runtime.ShellStart(request);
}

}  // namespace launch
