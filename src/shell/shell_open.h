#pragma once
// The one way the launcher starts a companion program or opens a link.
#include <string_view>

namespace forms {
class Form;
}

namespace shell {

// Asks the desktop shell to open target (a path relative to the application
// folder, or a link) with verb, owned by the window, shown normally, in the
// application folder; the start itself follows PlanStart (start_plan.h), on
// the service the program set (shell_service.h).
// The shell's answer is not acted on: a missing companion or mail handler
// changes nothing here.
void ShellOpen(forms::Form& owner, std::string_view verb, std::string_view target);

}  // namespace shell
