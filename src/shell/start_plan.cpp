#include "shell/start_plan.h"

#include "shell/program_folder.h"

namespace shell {
namespace {

// The longest path the shell takes in its ordinary form is one code unit
// shorter than this, counted in UTF-16.
constexpr std::size_t kMaxPath = 260;

std::size_t Utf16Length(std::string_view utf8) {
  std::size_t units = 0;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) ++units;  // each character's first byte
    if (byte >= 0xF0) ++units;           // beyond the first plane: a surrogate pair
  }
  return units;
}

bool FitsMaxPath(std::string_view path) { return Utf16Length(path) < kMaxPath; }

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

// Some shells expand %NAME% in the file and folder they are given even when
// not asked to (Wine does), which would start a program of another folder:
// a text with two percent signs is never handed over as it is.
bool CouldBeReread(std::string_view text) { return text.find('%') != text.rfind('%'); }

}  // namespace

// As it is where that is safe; else by its name relative to the folder,
// made the current one; else in its 8.3 form, plain, and in the long-path
// form for the process creators (Wine's) that turn an 8.3 path back into its
// long form first and then find it too long.
std::vector<StartAttempt> PlanStart(std::string_view folder, std::string_view target, const FileSystemView& files) {
  const std::string directory(folder);
  if (IsLink(target)) return {{std::string(target), directory, ""}};
  if (!IsAbsoluteFolder(folder)) return {};
  const std::string file = (directory.ends_with('\\') ? directory : directory + '\\') + std::string(target);
  if (files.KindOf(file) != PathKind::kFile) return {};
  if (FitsMaxPath(file) && !CouldBeReread(file)) return {{file, directory, ""}};

  std::vector<StartAttempt> plan;
  const std::string relative = ".\\" + std::string(target);
  if (FitsMaxPath(file) && !CouldBeReread(relative)) plan.push_back({relative, ".", directory});
  const std::string short_file = OrdinaryForm(files.ShortForm(file));
  const std::string short_directory = OrdinaryForm(files.ShortForm(directory));
  if (short_file.empty() || !FitsMaxPath(short_file) || short_directory.empty() || CouldBeReread(short_file) ||
      CouldBeReread(short_directory))
    return plan;
  plan.push_back({short_file, short_directory, ""});
  plan.push_back({LongPathForm(short_file), short_directory, ""});
  return plan;
}

}  // namespace shell
