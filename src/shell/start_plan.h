#pragma once
// How a companion is started from the application folder and from nowhere
// else, whatever the folder's name or length: the attempts to hand the
// desktop shell, in order, until one starts it. The file system is asked
// through a view, so the plan is the same on every system and in the tests.
#include <string>
#include <string_view>
#include <vector>

namespace shell {

enum class PathKind { kMissing, kFile, kFolder };

class FileSystemView {
 public:
  virtual ~FileSystemView() = default;
  virtual PathKind KindOf(const std::string& path) const = 0;
  // The 8.3 form of an existing path, as the system gives it (the long-path
  // prefix may come with it); "" when the volume has none to give.
  virtual std::string ShortForm(const std::string& path) const = 0;
};

// One call of the shell: the file and directory texts it is given, and the
// folder made current for the call ("" for none). Texts are UTF-8.
struct StartAttempt {
  std::string file;
  std::string directory;
  std::string current_folder;
  bool operator==(const StartAttempt&) const = default;
};

// The attempts for target (a path relative to folder, or a link such as
// "mailto:...", which goes to the shell as it is, with folder). Without an
// absolute folder, or without a file (a folder, or nothing) at the target's
// place, there are none: nothing starts.
std::vector<StartAttempt> PlanStart(std::string_view folder, std::string_view target, const FileSystemView& files);

}  // namespace shell
