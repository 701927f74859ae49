#pragma once
// Windows path forms, as the launcher meets them: the folder of the running
// program, which must be absolute because companions start from there only,
// and the long-path form ("\\?\C:\..." and "\\?\UNC\server\share\...") that
// the file functions take at any length.
#include <string>
#include <string_view>

namespace shell {

// The folder of the program whose path the system reports, in its ordinary
// absolute form; "" when that is not a drive-rooted or share path.
std::string ProgramFolder(std::string_view module_path);

// "C:\..." (a drive root or below) or "\\server\share..." (a share or below).
bool IsAbsoluteFolder(std::string_view folder);

// An absolute path in the long-path form.
std::string LongPathForm(std::string_view path);

// A path without the long-path prefix ("\\?\" and "\\?\UNC\"), or without
// the share form's leading backslashes ("UNC\server\share\...") that some
// systems report, in its ordinary form; other paths as they are.
std::string OrdinaryForm(std::string_view path);

}  // namespace shell
