#include "launcher/FrmSetup.h"

#include <array>
#include <string>

#include "forms/wiring.h"
#include "shell/shell_open.h"

namespace launcher {
namespace {

using Wire = forms::EventWire<FrmSetup>;

constexpr std::array kWires{
    Wire::Load(&FrmSetup::Form_Load),
    Wire::Timer("TimerForm", &FrmSetup::TimerForm_Timer),
    Wire::Click("LabelFont", &FrmSetup::LabelFont_Click),
    Wire::MouseDown("LabelFont", &FrmSetup::LabelFont_MouseDown),
    Wire::MouseMove("LabelFont", &FrmSetup::LabelFont_MouseMove),
    Wire::MouseMove("PicForm", &FrmSetup::PicForm_MouseMove),
    Wire::Click("CmdOK", &FrmSetup::CmdOK_Click),
    Wire::Click("CmdExit", &FrmSetup::CmdExit_Click),
    Wire::Timer("TimePlay", &FrmSetup::TimePlay_Timer),
    Wire::Timer("TimeSetup", &FrmSetup::TimeSetup_Timer),
};

constexpr forms::Color kBlack = 0;
constexpr forms::Color kHoverGrey = 8421504;  // 0x808080

// Cancel question: OK/Cancel (1) + question icon (32) + Cancel pre-selected
// (256) + system-modal (4096).
constexpr int kQuestionStyle = 4385;
constexpr int kAnswerOK = 1;

}  // namespace

FrmSetup::FrmSetup(forms::Runtime& runtime) : FrmSetup(forms::CreateForm(FrmSetupDefinition(), runtime)) {}

FrmSetup::FrmSetup(std::unique_ptr<forms::Form> window)
    : Window(*window),
      PicForm(window->Get("PicForm")),
      CmdOK(window->Get("CmdOK")),
      CmdExit(window->Get("CmdExit")),
      LabelFont(window->Get("LabelFont")),
      TimerForm(window->GetTimer("TimerForm")),
      TimePlay(window->GetTimer("TimePlay")),
      TimeSetup(window->GetTimer("TimeSetup")),
      owned_(std::move(window)) {
  forms::Connect<FrmSetup>(Window, *this, kWires);
  LabelFont.LinkTarget = std::string("mailto:") + kContactAddress;
}

void FrmSetup::Show() { Window.Start(); }

// The window starts as a thin strip; it is shown centred at this size and
// grows about that centre.
void FrmSetup::Form_Load() {
  Window.Height = 15.0f;
  Window.Width = 1000.0f;
  TimerForm.Enabled = true;
  shell::ShellOpen(Window, "Open", "data\\data1.exe");
}

// Each tick grows the window about its centre while the artwork slides into
// place; the tick that finds the window tall enough snaps both to the
// artwork's size and starts the speech program.
void FrmSetup::TimerForm_Timer() {
  if (Window.Height < PicForm.Height) {
    Window.Left = Window.Left - 80.0f;
    Window.Top = Window.Top - 50.0f;
    PicForm.Left = PicForm.Left + 50.0f;
    PicForm.Top = PicForm.Top + 50.0f;
    Window.Height = Window.Height + 100.0f;
    Window.Width = Window.Width + 160.0f;
  } else {
    TimerForm.Enabled = false;
    Window.Height = PicForm.Height;
    Window.Width = PicForm.Width;
    PicForm.Left = 0.0f;
    PicForm.Top = 0.0f;
    shell::ShellOpen(Window, "Open", "speech.exe");
  }
}

// OK becomes available once, 15 seconds after the window was created.
void FrmSetup::TimePlay_Timer() {
  CmdOK.Enabled = true;
  TimePlay.Enabled = false;
}

// OK locks both buttons and hands over to the installer after a delay.
void FrmSetup::CmdOK_Click() {
  TimeSetup.Enabled = true;
  CmdOK.Enabled = false;
  CmdExit.Enabled = false;
  shell::ShellOpen(Window, "open", "data\\data2.exe");
}

void FrmSetup::TimeSetup_Timer() {
  shell::ShellOpen(Window, "Open", "file\\File.exe");
  Window.Unload();
}

void FrmSetup::CmdExit_Click() {
  if (Window.GetRuntime().MsgBox(Window, "您确定要退出安装系统吗?", kQuestionStyle, "退出询问") == kAnswerOK) {
    Window.Unload();
  }
}

void FrmSetup::LabelFont_MouseMove(int /*Button*/, int /*Shift*/, float /*X*/, float /*Y*/) {
  LabelFont.ForeColor = kHoverGrey;
  LabelFont.Font.Underline = true;
}

void FrmSetup::LabelFont_MouseDown(int Button, int /*Shift*/, float /*X*/, float /*Y*/) {
  if (Button == forms::kLeftButton) {
    LabelFont.ForeColor = kBlack;
    LabelFont.Font.Underline = false;
  }
}

void FrmSetup::LabelFont_Click() { shell::ShellOpen(Window, "open", LabelFont.LinkTarget); }

void FrmSetup::PicForm_MouseMove(int /*Button*/, int /*Shift*/, float /*X*/, float /*Y*/) {
  LabelFont.ForeColor = kBlack;
  LabelFont.Font.Underline = false;
}

}  // namespace launcher
