#include "shell/program_folder.h"

namespace shell {
namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const char a = text[i] >= 'a' && text[i] <= 'z' ? static_cast<char>(text[i] - 32) : text[i];
    if (a != prefix[i]) return false;
  }
  return true;
}

}  // namespace

bool IsAbsoluteFolder(std::string_view folder) {
  if (folder.size() >= 3 && IsLetter(folder[0]) && folder[1] == ':' && folder[2] == '\\') return true;
  // \\server\share: both names present.
  if (folder.size() < 5 || folder[0] != '\\' || folder[1] != '\\') return false;
  const std::size_t server_end = folder.find('\\', 2);
  return server_end != std::string_view::npos && server_end > 2 && server_end + 1 < folder.size() &&
         folder[server_end + 1] != '\\';
}

std::string LongPathForm(std::string_view path) {
  if (path.starts_with("\\\\")) return "\\\\?\\UNC\\" + std::string(path.substr(2));
  return "\\\\?\\" + std::string(path);
}

std::string OrdinaryForm(std::string_view path) {
  if (StartsWithNoCase(path, "\\\\?\\UNC\\")) return "\\\\" + std::string(path.substr(8));
  if (StartsWithNoCase(path, "\\\\?\\")) return std::string(path.substr(4));
  if (StartsWithNoCase(path, "UNC\\")) return "\\\\" + std::string(path.substr(4));
  return std::string(path);
}

std::string ProgramFolder(std::string_view module_path) {
  std::string path = OrdinaryForm(module_path);
  for (char& c : path)
    if (c == '/') c = '\\';
  std::size_t slash = path.find_last_of('\\');
  if (slash == std::string::npos) return {};
  // "D:\Setup.exe" keeps its separator: "D:" alone would mean the drive's current folder.
  if (slash == 2 && path[1] == ':') ++slash;
  path.resize(slash);
  return IsAbsoluteFolder(path) ? path : std::string();
}

}  // namespace shell
