#pragma once
// A launcher window on the headless runtime, created and shown at time 0.
#include <memory>
#include <string>
#include <vector>

#include "forms/headless/headless_runtime.h"
#include "launcher/FrmSetup.h"
#include "shell/shell_service.h"

// The shell's open service as the window's thread sees it: each request
// recorded with the time and whether the window was on screen.
struct RecordingShell : shell::ShellService {
  struct Record {
    shell::ShellRequest request;
    long long at_ms;
    bool window_shown;
  };
  explicit RecordingShell(const forms::headless::HeadlessRuntime& runtime) : rt(runtime) {}
  std::string AppFolder() override { return app_folder; }
  void HandOver(const shell::ShellRequest& request) override { requests.push_back({request, rt.Now(), rt.shown()}); }

  const forms::headless::HeadlessRuntime& rt;
  std::string app_folder = "C:\\Keyvandor";
  std::vector<Record> requests;
};

struct Launcher {
  forms::headless::HeadlessRuntime rt;
  RecordingShell shell{rt};
  shell::UseShellService use_shell{shell};
  std::unique_ptr<launcher::FrmSetup> frm;

  // Configure rt (screen, pictures) and shell (folder) before calling Open.
  launcher::FrmSetup& Open() {
    frm = std::make_unique<launcher::FrmSetup>(rt);
    frm->Show();
    return *frm;
  }

  // Centre of a control in pixels of the window's client area.
  std::pair<int, int> CentreOf(const forms::Control& c) const {
    const auto r = rt.RectOf(c);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  void ClickOn(const forms::Control& c) {
    const auto [x, y] = CentreOf(c);
    rt.ClickAt(x, y);
  }
  void MoveOver(const forms::Control& c) {
    const auto [x, y] = CentreOf(c);
    rt.MoveTo(x, y);
  }

  std::vector<std::string> StartedFiles() const {
    std::vector<std::string> files;
    for (const auto& r : shell.requests) files.push_back(r.request.file);
    return files;
  }
  int CountStarts(const std::string& file) const {
    int n = 0;
    for (const auto& r : shell.requests) n += r.request.file == file;
    return n;
  }
  // Runs the opening animation to its end (40 ticks, each at the timer floor).
  void FinishAnimation() { rt.Advance(40 * forms::kTimerFloorMs); }
};
