#pragma once
// The launcher window: its definition and its event handlers.
#include <memory>

#include "forms/definition.h"
#include "forms/form.h"

namespace launcher {

// The vendor's contact address, shown by the e-mail label and used by its link.
inline constexpr const char* kContactAddress = "kvd@example.com";

// The window as fixed data: properties, controls in creation order, timers.
const forms::FormDef& FrmSetupDefinition();

class FrmSetup {
 public:
  // Creates the window from its definition and connects the handlers.
  explicit FrmSetup(forms::Runtime& runtime);
  FrmSetup(const FrmSetup&) = delete;
  FrmSetup& operator=(const FrmSetup&) = delete;

  // Runs Form_Load and shows the window.
  void Show();

  forms::Form& Window;
  forms::Control& PicForm;
  forms::Control& CmdOK;
  forms::Control& CmdExit;
  forms::Control& LabelFont;
  forms::Timer& TimerForm;
  forms::Timer& TimePlay;
  forms::Timer& TimeSetup;

  // Opening animation.
  void Form_Load();
  void TimerForm_Timer();
  // Install and exit flow.
  void TimePlay_Timer();
  void CmdOK_Click();
  void TimeSetup_Timer();
  void CmdExit_Click();
  // E-mail link.
  void LabelFont_MouseMove(int Button, int Shift, float X, float Y);
  void LabelFont_MouseDown(int Button, int Shift, float X, float Y);
  void LabelFont_Click();
  void PicForm_MouseMove(int Button, int Shift, float X, float Y);

 private:
  explicit FrmSetup(std::unique_ptr<forms::Form> window);
  std::unique_ptr<forms::Form> owned_;
};

}  // namespace launcher
