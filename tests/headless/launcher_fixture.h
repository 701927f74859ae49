#pragma once
// A launcher window on the headless runtime, created and shown at time 0.
#include <memory>
#include <string>
#include <vector>

#include "forms/headless/headless_runtime.h"
#include "launcher/FrmSetup.h"

struct Launcher {
  forms::headless::HeadlessRuntime rt;
  std::unique_ptr<launcher::FrmSetup> frm;

  // Configure rt (screen, pictures, folder) before calling Open.
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
    for (const auto& r : rt.shell_requests) files.push_back(r.request.file);
    return files;
  }
  int CountStarts(const std::string& file) const {
    int n = 0;
    for (const auto& r : rt.shell_requests) n += r.request.file == file;
    return n;
  }
  // Runs the opening animation to its end (40 ticks, each at the timer floor).
  void FinishAnimation() { rt.Advance(40 * forms::kTimerFloorMs); }
};
