#include "shell/shell_open.h"

#include <utility>

#include "forms/error.h"
#include "forms/form.h"
#include "shell/shell_service.h"

namespace shell {
namespace {

ShellService* current_service = nullptr;

}  // namespace

UseShellService::UseShellService(ShellService& service) noexcept
    : previous_(std::exchange(current_service, &service)) {}

UseShellService::~UseShellService() { current_service = previous_; }

// A window that has been unloaded (closed while its handler waited for an
// answer, say) starts nothing more. Without a service nothing could start:
// a program that forgot to set one fails where it first asks.
void ShellOpen(forms::Form& owner, std::string_view verb, std::string_view target) {
  if (!owner.IsLoaded()) return;
  if (current_service == nullptr) forms::Raise("ShellOpen: the program has no shell service");
  ShellRequest request;
  request.owner = owner.hWnd();
  request.verb = verb;
  request.file = target;
  request.parameters = "";
  request.directory = current_service->AppFolder();
  request.show = 1;  // shown normally and activated
  current_service->HandOver(request);
}

}  // namespace shell
