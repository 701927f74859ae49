#pragma once
// The desktop shell's open service, called on whatever thread asks: one
// request, its texts in UTF-8, started by the plan (start_plan.h); the
// shell's own result code of the last attempt made.
#include "shell/shell_service.h"

namespace shell::win32 {

int StartWithShell(const ShellRequest& request);

}  // namespace shell::win32
