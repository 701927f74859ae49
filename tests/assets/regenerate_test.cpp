// The committed pictures must be exactly what assets/src/generate draws, so a
// change to the drawing source that was not regenerated (or a hand-edited
// picture) is caught. Needs python3, ImageMagick and the fonts; skipped
// where they are missing.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "win_images.h"

namespace kvd_assets {
namespace {

namespace fs = std::filesystem;

constexpr int kGeneratorMissingTool = 77;

class TempDir {
 public:
  TempDir() : path_(fs::temp_directory_path() / ("kvd_assets_" + std::to_string(::getpid()))) {
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

int run(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Regenerate, GeneratorReproducesTheCommittedFilesByteForByte) {
  if (run("command -v python3 >/dev/null 2>&1") != 0) GTEST_SKIP() << "python3 is not installed";
  TempDir out;
  const fs::path generator = assets_dir() / "src" / "generate";
  const int rc = run("python3 '" + generator.string() + "' '" + out.path().string() + "'");
  if (rc == kGeneratorMissingTool) GTEST_SKIP() << "ImageMagick or a font the generator uses is missing";
  ASSERT_EQ(rc, 0) << "generator failed";

  for (const char* name : {"artwork.bmp", "artwork@2x.bmp", "setup.ico", "link.ico", "link.ico.hotspot"}) {
    const Bytes committed = read_file(assets_dir() / name);
    const Bytes fresh = read_file(out.path() / name);
    ASSERT_EQ(fresh.size(), committed.size()) << name;
    std::size_t first_difference = 0;
    while (first_difference < fresh.size() && fresh[first_difference] == committed[first_difference])
      ++first_difference;
    EXPECT_EQ(first_difference, fresh.size()) << name << " differs from a fresh rendering from byte "
                                              << first_difference << "; run assets/src/generate and commit the result";
  }
}

}  // namespace
}  // namespace kvd_assets
