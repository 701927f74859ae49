#pragma once
// The one way the launcher starts a companion program or opens a link.
#include <string>
#include <string_view>

namespace forms {
class Form;
}

namespace launch {

// Asks the desktop shell to open target with verb, owned by the window,
// shown normally, in the application folder. The shell's answer is not
// acted on: a missing companion or mail handler changes nothing here.
void ShellOpen(forms::Form& owner, std::string_view verb, std::string_view target);

// A target relative to the application folder becomes an absolute path
// inside it, so that a missing companion starts nothing rather than a
// program of the same name found on the search path; without an absolute
// application folder it becomes "", which starts nothing. A link
// ("mailto:...") is passed as it is.
std::string ResolveTarget(std::string_view folder, std::string_view target);

}  // namespace launch
