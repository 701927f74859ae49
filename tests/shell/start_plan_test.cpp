// Which calls of the shell start a companion or open a link: for each form
// in which the system may report the program's own path, and each file
// system the start may find.
#include "shell/start_plan.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "shell/program_folder.h"

namespace shell {
void PrintTo(const StartAttempt& a, std::ostream* out) {
  *out << "{" << a.file << " | " << a.directory << " | " << a.current_folder << "}";
}
}  // namespace shell

namespace {

using shell::PathKind;
using shell::StartAttempt;
constexpr PathKind kFile = PathKind::kFile;
constexpr PathKind kFolder = PathKind::kFolder;

struct Entry {
  PathKind kind;
  std::string short_form = "";  // as the system gives it, with its long-path prefix
};

class Files : public shell::FileSystemView {
 public:
  explicit Files(const std::map<std::string, Entry>& entries) : entries_(entries) {}
  PathKind KindOf(const std::string& path) const override {
    const auto it = entries_.find(path);
    return it == entries_.end() ? PathKind::kMissing : it->second.kind;
  }
  std::string ShortForm(const std::string& path) const override {
    const auto it = entries_.find(path);
    return it == entries_.end() ? "" : it->second.short_form;
  }

 private:
  const std::map<std::string, Entry>& entries_;
};

struct Row {
  const char* name;
  std::string module;  // the program's own path, as the system reports it
  std::string target;
  std::map<std::string, Entry> files;
  std::vector<StartAttempt> attempts;
};

TEST(StartPlan, AttemptsForEveryFolderFormAndFileSystem) {
  const std::string deep = std::string(250, 'k');  // takes a path past 260 characters
  std::string wide;                                // 100 characters, 300 bytes
  for (int i = 0; i < 100; ++i) wide += "安";
  const Row rows[] = {
      {"plain",
       "C:\\Media\\Setup.exe",
       "data\\data1.exe",
       {{"C:\\Media\\data\\data1.exe", {kFile}}},
       {{"C:\\Media\\data\\data1.exe", "C:\\Media", ""}}},
      {"drive root",
       "D:\\Setup.exe",
       "file\\File.exe",
       {{"D:\\file\\File.exe", {kFile}}},
       {{"D:\\file\\File.exe", "D:\\", ""}}},
      {"long-path drive",
       "\\\\?\\C:\\Media\\Setup.exe",
       "speech.exe",
       {{"C:\\Media\\speech.exe", {kFile}}},
       {{"C:\\Media\\speech.exe", "C:\\Media", ""}}},
      {"share",
       "\\\\server\\share\\Setup.exe",
       "speech.exe",
       {{"\\\\server\\share\\speech.exe", {kFile}}},
       {{"\\\\server\\share\\speech.exe", "\\\\server\\share", ""}}},
      {"long-path share",
       "\\\\?\\UNC\\server\\share\\kvd\\Setup.exe",
       "speech.exe",
       {{"\\\\server\\share\\kvd\\speech.exe", {kFile}}},
       {{"\\\\server\\share\\kvd\\speech.exe", "\\\\server\\share\\kvd", ""}}},
      {"share without its backslashes",
       "UNC\\server\\share\\Setup.exe",
       "speech.exe",
       {{"\\\\server\\share\\speech.exe", {kFile}}},
       {{"\\\\server\\share\\speech.exe", "\\\\server\\share", ""}}},
      {"relative folder", "Media\\Setup.exe", "speech.exe", {{"Media\\speech.exe", {kFile}}}, {}},
      {"rooted, no drive", "\\Media\\Setup.exe", "speech.exe", {{"\\Media\\speech.exe", {kFile}}}, {}},
      {"server, no share", "\\\\server\\Setup.exe", "speech.exe", {{"\\\\server\\speech.exe", {kFile}}}, {}},
      {"no folder", "Setup.exe", "speech.exe", {{"speech.exe", {kFile}}}, {}},
      {"link", "C:\\Media\\Setup.exe", "mailto:kvd@example.com", {}, {{"mailto:kvd@example.com", "C:\\Media", ""}}},
      {"link, no folder", "Setup.exe", "mailto:kvd@example.com", {}, {{"mailto:kvd@example.com", "", ""}}},
      {"missing", "C:\\Media\\Setup.exe", "speech.exe", {}, {}},
      {"a folder in its place", "C:\\Media\\Setup.exe", "speech.exe", {{"C:\\Media\\speech.exe", {kFolder}}}, {}},
      {"one percent sign",
       "C:\\100%\\Setup.exe",
       "speech.exe",
       {{"C:\\100%\\speech.exe", {kFile}}},
       {{"C:\\100%\\speech.exe", "C:\\100%", ""}}},
      {"two percent signs",
       "C:\\%TMP%\\Setup.exe",
       "speech.exe",
       {{"C:\\%TMP%\\speech.exe", {kFile, "\\\\?\\C:\\TMP~1\\speech.exe"}},
        {"C:\\%TMP%", {kFolder, "\\\\?\\C:\\TMP~1"}}},
       {{".\\speech.exe", ".", "C:\\%TMP%"},
        {"C:\\TMP~1\\speech.exe", "C:\\TMP~1", ""},
        {"\\\\?\\C:\\TMP~1\\speech.exe", "C:\\TMP~1", ""}}},
      {"two percent signs, no 8.3 forms",
       "C:\\%TMP%\\Setup.exe",
       "speech.exe",
       {{"C:\\%TMP%\\speech.exe", {kFile}}},
       {{".\\speech.exe", ".", "C:\\%TMP%"}}},
      {"two percent signs in the 8.3 form",
       "C:\\%A%\\Setup.exe",
       "speech.exe",
       {{"C:\\%A%\\speech.exe", {kFile, "C:\\%A%\\speech.exe"}}, {"C:\\%A%", {kFolder, "C:\\%A%"}}},
       {{".\\speech.exe", ".", "C:\\%A%"}}},
      {"past 260",
       "C:\\" + deep + "\\Setup.exe",
       "speech.exe",
       {{"C:\\" + deep + "\\speech.exe", {kFile, "\\\\?\\C:\\KKKKKK~1\\speech.exe"}},
        {"C:\\" + deep, {kFolder, "\\\\?\\C:\\KKKKKK~1"}}},
       {{"C:\\KKKKKK~1\\speech.exe", "C:\\KKKKKK~1", ""}, {"\\\\?\\C:\\KKKKKK~1\\speech.exe", "C:\\KKKKKK~1", ""}}},
      {"past 260, no 8.3 forms",
       "C:\\" + deep + "\\Setup.exe",
       "speech.exe",
       {{"C:\\" + deep + "\\speech.exe", {kFile}}},
       {}},
      {"past 260 on a share",
       "\\\\?\\UNC\\server\\share\\" + deep + "\\Setup.exe",
       "speech.exe",
       {{"\\\\server\\share\\" + deep + "\\speech.exe", {kFile, "\\\\?\\UNC\\server\\share\\KKKKKK~1\\speech.exe"}},
        {"\\\\server\\share\\" + deep, {kFolder, "\\\\?\\UNC\\server\\share\\KKKKKK~1"}}},
       {{"\\\\server\\share\\KKKKKK~1\\speech.exe", "\\\\server\\share\\KKKKKK~1", ""},
        {"\\\\?\\UNC\\server\\share\\KKKKKK~1\\speech.exe", "\\\\server\\share\\KKKKKK~1", ""}}},
      // "C:\\" + 245 characters + "\\speech.exe": 259 code units, the longest
      // path the shell takes as it is; one more and it takes the 8.3 form.
      {"259 characters",
       "C:\\" + std::string(245, 'k') + "\\Setup.exe",
       "speech.exe",
       {{"C:\\" + std::string(245, 'k') + "\\speech.exe", {kFile}}},
       {{"C:\\" + std::string(245, 'k') + "\\speech.exe", "C:\\" + std::string(245, 'k'), ""}}},
      {"260 characters",
       "C:\\" + std::string(246, 'k') + "\\Setup.exe",
       "speech.exe",
       {{"C:\\" + std::string(246, 'k') + "\\speech.exe", {kFile, "C:\\KKKKKK~1\\speech.exe"}},
        {"C:\\" + std::string(246, 'k'), {kFolder, "C:\\KKKKKK~1"}}},
       {{"C:\\KKKKKK~1\\speech.exe", "C:\\KKKKKK~1", ""}, {"\\\\?\\C:\\KKKKKK~1\\speech.exe", "C:\\KKKKKK~1", ""}}},
      {"past 260 bytes, not 260 characters",
       "C:\\" + wide + "\\Setup.exe",
       "speech.exe",
       {{"C:\\" + wide + "\\speech.exe", {kFile}}},
       {{"C:\\" + wide + "\\speech.exe", "C:\\" + wide, ""}}},
  };
  for (const Row& row : rows) {
    const Files files(row.files);
    EXPECT_EQ(shell::PlanStart(shell::ProgramFolder(row.module), row.target, files), row.attempts) << row.name;
  }
}

// Each of the two folder checks on its own: the program's folder is ""
// unless it is absolute, and the plan starts nothing from a folder that is
// not absolute, whoever hands it one.
TEST(StartPlan, EachFolderCheckHoldsWithoutTheOther) {
  const struct {
    std::string folder;
    bool absolute;
  } rows[] = {
      {"C:\\Media", true},     {"\\\\server\\share", true}, {"Media", false},
      {"\\Media", false},      {"C:Media", false},          {"\\\\server", false},
      {"\\\\server\\", false}, {"\\\\\\share", false},      {"", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(shell::ProgramFolder(row.folder + "\\Setup.exe"), row.absolute ? row.folder : "") << row.folder;
    const std::map<std::string, Entry> entries{{row.folder + "\\speech.exe", {kFile}}};
    EXPECT_EQ(shell::PlanStart(row.folder, "speech.exe", Files(entries)).empty(), !row.absolute) << row.folder;
  }
}

}  // namespace
