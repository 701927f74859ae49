#pragma once
// The desktop shell's open service, called on whatever thread asks: one
// request, its texts in UTF-8, and the shell's own result code.
#include "forms/runtime.h"

namespace forms::win32 {

int StartWithShell(const ShellRequest& request);

}  // namespace forms::win32
