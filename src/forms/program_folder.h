#pragma once
// The folder of the running program, from the path the system reports for
// it. The launcher starts its companions from that folder only, so it must
// be absolute: the system's long-path forms ("\\?\C:\..." and
// "\\?\UNC\server\share\...") and the share form some systems report without its leading
// backslashes ("UNC\server\share\...") become the ordinary absolute forms;
// anything that is still not a drive-rooted or share path gives "".
#include <string>
#include <string_view>

namespace forms {

std::string ProgramFolder(std::string_view module_path);

// "C:\..." (a drive root or below) or "\\server\share..." (a share or below).
bool IsAbsoluteFolder(std::string_view folder);

}  // namespace forms
