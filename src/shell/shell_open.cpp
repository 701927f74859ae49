#include "shell/shell_open.h"

#include "forms/form.h"

namespace shell {

// A window that has been unloaded (closed while its handler waited for an
// answer, say) starts nothing more.
void ShellOpen(forms::Form& owner, std::string_view verb, std::string_view target) {
  if (!owner.IsLoaded()) return;
  forms::Runtime& runtime = owner.GetRuntime();
  forms::ShellRequest request;
  request.owner = owner.hWnd();
  request.verb = verb;
  request.file = target;
  request.parameters = "";
  request.directory = runtime.AppFolder();
  request.show = 1;  // shown normally and activated
  (void)runtime.ShellStart(request);
}

}  // namespace shell
