// The launcher window as fixed data. Geometry is in twips (15 twips are one
// pixel at 96 dpi); children of PicForm are placed on its artwork.
#include <array>

#include "launcher/FrmSetup.h"

namespace launcher {
namespace {

using forms::ControlDef;
using forms::Kind;

constexpr forms::FontDef kSongTi9{"宋体", 9.0f, 400};

// Creation order: the window's timers and the picture box, then the
// controls on the picture box.
constexpr std::array kControls{
    ControlDef{.kind = Kind::Timer,
               .name = "TimeSetup",
               .enabled = false,
               .visible = false,
               .tab_index = 10,
               .interval = 20000},
    ControlDef{
        .kind = Kind::Timer, .name = "TimePlay", .enabled = true, .visible = false, .tab_index = 11, .interval = 15000},
    ControlDef{.kind = Kind::PictureBox,
               .name = "PicForm",
               .left = -1800,
               .top = -1920,
               .width = 7245,
               .height = 3900,
               .picture = "artwork",
               .auto_size = true,
               .tab_stop = true,
               .tab_index = 0},
    ControlDef{.kind = Kind::CommandButton,
               .name = "CmdOK",
               .container = "PicForm",
               .left = 3000,
               .top = 3420,
               .width = 975,
               .height = 320,
               .caption = "确定",
               .enabled = false,
               .font = &kSongTi9,
               .tab_stop = true,
               .tab_index = 3},
    ControlDef{.kind = Kind::CommandButton,
               .name = "CmdExit",
               .container = "PicForm",
               .left = 4200,
               .top = 3420,
               .width = 975,
               .height = 320,
               .caption = "取消",
               .enabled = true,
               .tab_stop = true,
               .tab_index = 2},
    ControlDef{.kind = Kind::Timer,
               .name = "TimerForm",
               .container = "PicForm",
               .enabled = false,
               .visible = false,
               .tab_index = 12,
               .interval = 5},
    ControlDef{.kind = Kind::Label,
               .name = "LabelFont",
               .container = "PicForm",
               .left = 3720,
               .top = 2280,
               .width = 1980,
               .height = 180,
               .caption = "E-Mail:kvd@example.com",
               .fore_color = 0,
               .mouse_icon = "link",
               .auto_size = true,
               .tab_index = 1},
};

constexpr forms::FormDef kFrmSetup{
    .name = "FrmSetup",
    .caption = "安装Keyvandor",
    .width = 8370,
    .height = 4755,
    .font = kSongTi9,
    .back_color = forms::kButtonFace,
    .icon = "icon",
    .controls = kControls,
};

}  // namespace

const forms::FormDef& FrmSetupDefinition() { return kFrmSetup; }

}  // namespace launcher
