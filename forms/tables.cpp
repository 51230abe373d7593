// The controls tables of the six windows. Where a window's table gives no place for a control (the
// drive grid, the notice editor), the places here are this program's own.
#include <array>
#include <string>

#include "custom/entry.h"
#include "forms/layout.h"
#include "forms/names.h"
#include "forms/tables.h"

namespace tessmar::forms {
namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kLightGreen{192, 255, 192};
constexpr Rgb kPink{255, 192, 255};
constexpr Rgb kFrameGrey{192, 192, 192};

Font songti(double points, bool bold = false) {
    return {Face::Songti, points, bold};
}

WindowLayout mainLayout() {
    using namespace names::main;
    WindowLayout w{.name = "main",
                   .caption = "",
                   .clientWidth = 8895,
                   .clientHeight = 6045,
                   .border = Border::Thin,
                   .taskbar = true,
                   .enterPressesButtons = true,
                   .focus = "",
                   .controls = {}};
    auto& c = w.controls;
    c.push_back({.name = Background,
                 .kind = Kind::PictureBox,
                 .place = {0, 0, 8930, 6070},
                 .picture = "background"});
    c.push_back({.name = SelectAll,
                 .kind = Kind::Button,
                 .parent = Background,
                 .place = {2520, 4320, 345, 465},
                 .caption = "全选",
                 .tooltip = "全部选中下列要修复的项目",
                 .back = kPink,
                 .graphical = true,
                 .visible = false});
    c.push_back({.name = SelectNone,
                 .kind = Kind::Button,
                 .parent = Background,
                 .place = {2520, 4920, 345, 465},
                 .caption = "全否",
                 .tooltip = "取消下列所有被选中的项目",
                 .back = kPink,
                 .graphical = true,
                 .visible = false});
    c.push_back({.name = Close,
                 .kind = Kind::PictureButton,
                 .parent = Background,
                 .place = {8280, 160, 300, 300},
                 .picture = "close",
                 .flat = true});
    c.push_back({.name = ChecklistPanel,
                 .kind = Kind::PictureBox,
                 .parent = Background,
                 .place = {3000, 1200, 5415, 4120},
                 .back = Rgb{192, 192, 255},
                 .picture = "panel_checklist"});
    c.push_back({.name = ChecklistGrid,
                 .kind = Kind::Grid,
                 .parent = ChecklistPanel,
                 .place = {0, 0, 5415, 3645},
                 .font = songti(9),
                 .grid = GridSpec{.columnTwips = {440, 4170, 440},
                                  .fixedRows = 1,
                                  .fixedColumns = 1,
                                  .rowTwips = 270,
                                  .cellBack = kLightGreen,
                                  .cellText = kBlue,
                                  .outside = Rgb{128, 128, 128}},
                 .visible = false});
    c.push_back({.name = Description,
                 .kind = Kind::Label,
                 .parent = ChecklistPanel,
                 .place = {360, 3720, 4455, 300},
                 .font = {Face::Youyuan, 14.25, false},
                 .fore = kRed});
    c.push_back({.name = CategoryPanel,
                 .kind = Kind::PictureBox,
                 .parent = Background,
                 .place = {460, 1320, 1815, 3920},
                 .back = Rgb{128, 128, 255},
                 .picture = "panel_categories"});
    constexpr std::array<int, 5> tops{100, 850, 1600, 2360, 3120};
    constexpr std::array<const char*, 5> tips{"IE属性设置", "系统桌面设置", "网络共享设置",
                                              "文件菜单设置", "自定功能设置"};
    constexpr std::array<const char*, 5> pictures{"category0", "category1", "category2",
                                                  "category3", "category4"};
    for (std::size_t i = 0; i < 5; ++i) {
        c.push_back({.name = CategoryFrames[i],
                     .kind = Kind::PictureBox,
                     .parent = CategoryPanel,
                     .place = {40, tops[i], 1670, 620},
                     .back = kFrameGrey});
        c.push_back({.name = Categories[i],
                     .kind = Kind::PictureButton,
                     .parent = CategoryFrames[i],
                     .place = {40, 40, 1575, 540},
                     .tooltip = tips[i],
                     .picture = pictures[i]});
    }
    c.push_back({.name = Instruction,
                 .kind = Kind::Label,
                 .parent = Background,
                 .place = {2565, 960, 255, 3375},
                 .caption = "单击你要设置的项目，打钩后有效。",
                 .font = songti(10.5),
                 .fore = kRed,
                 .vertical = true,
                 .visible = false});
    c.push_back({.name = NoteCaption,
                 .kind = Kind::Label,
                 .parent = Background,
                 .place = {3600, 760, 615, 255},
                 .caption = "备注：",
                 .fore = kRed,
                 .visible = false});
    c.push_back({.name = Note,
                 .kind = Kind::Label,
                 .parent = Background,
                 .place = {4200, 760, 3735, 255},
                 .caption = "右击带\"*\"号的项目即可进入详细参数设置!",
                 .visible = false});
    c.push_back({.name = Icon,
                 .kind = Kind::Image,
                 .parent = Background,
                 .place = {180, 120, 360, 360},
                 .picture = "icon"});
    // On the window itself, above the background.
    c.push_back({.name = Leave,
                 .kind = Kind::Button,
                 .place = {6000, 4920, 900, 375},
                 .caption = "取消退出",
                 .tooltip = "退出Tessmar",
                 .back = kLightGreen,
                 .graphical = true,
                 .visible = false});
    c.push_back({.name = Apply,
                 .kind = Kind::Button,
                 .place = {4440, 4920, 900, 375},
                 .caption = "确定生效",
                 .tooltip = "按选择项目进行设置",
                 .back = kLightGreen,
                 .graphical = true,
                 .visible = false});
    c.push_back({.name = Help,
                 .kind = Kind::PictureButton,
                 .place = {480, 705, 390, 375},
                 .tooltip = "使用帮助",
                 .picture = "help"});
    c.push_back({.name = ChangePassword,
                 .kind = Kind::PictureButton,
                 .place = {1920, 705, 390, 375},
                 .tooltip = "系统员密码设置",
                 .picture = "password"});
    // The program's own buttons, in the free room between help and password and beside apply.
    c.push_back({.name = History,
                 .kind = Kind::PictureButton,
                 .place = {1000, 705, 390, 375},
                 .tooltip = "设置历史与恢复",
                 .picture = "history"});
    c.push_back({.name = Export,
                 .kind = Kind::PictureButton,
                 .place = {1460, 705, 390, 375},
                 .tooltip = "导出为组策略",
                 .picture = "export"});
    c.push_back({.name = Preview,
                 .kind = Kind::Button,
                 .place = {3240, 4920, 1020, 375},
                 .caption = "预览更改",
                 .tooltip = "先看确定生效将改动哪些注册表值",
                 .back = kLightGreen,
                 .graphical = true,
                 .visible = false});
    // In the free room right of 取消退出, on the row of the checklist's buttons; its list is the
    // PC's targets, read when a checklist is shown.
    c.push_back({.name = Target,
                 .kind = Kind::ComboBox,
                 .place = {6990, 4950, 1410, 315},
                 .tooltip = "选择设置作用于哪个账户",
                 .dropList = true,
                 .visible = false});
    return w;
}

WindowLayout gateLayout() {
    using namespace names::gate;
    WindowLayout w{.name = "pwdyz",
                   .caption = " input sys pwd!",
                   .clientWidth = 4515,
                   .clientHeight = 1800,
                   .border = Border::FixedDialog,
                   .taskbar = false,
                   .enterPressesButtons = true,
                   .focus = Text2,
                   .controls = {}};
    auto& c = w.controls;
    c.push_back({.name = Frame1, .kind = Kind::Frame, .place = {0, 0, 4510, 1815}});
    c.push_back({.name = Image1,
                 .kind = Kind::Image,
                 .parent = Frame1,
                 .place = {-120, 120, 1440, 720},
                 .picture = "gate"});
    c.push_back({.name = Label2,
                 .kind = Kind::Label,
                 .parent = Frame1,
                 .place = {1200, 360, 2775, 375},
                 .caption = "请输入系统员密码！",
                 .font = songti(14.25),
                 .fore = kRed});
    c.push_back({.name = Text2,
                 .kind = Kind::TextBox,
                 .parent = Frame1,
                 .place = {1320, 840, 2175, 375},
                 .font = songti(12),
                 .tab = 0,
                 .maxLength = 25,
                 .password = true});
    c.push_back({.name = CancelButton,
                 .kind = Kind::Button,
                 .parent = Frame1,
                 .place = {2640, 1320, 975, 375},
                 .caption = "取消",
                 .font = songti(12, true),
                 .tab = 1});
    c.push_back({.name = OKButton,
                 .kind = Kind::Button,
                 .parent = Frame1,
                 .place = {1200, 1320, 975, 375},
                 .caption = "确定",
                 .font = songti(12, true),
                 .tab = 2});
    return w;
}

WindowLayout passwordLayout() {
    using namespace names::password;
    WindowLayout w{.name = "pwsword",
                   .caption = "密码修改",
                   .clientWidth = 3495,
                   .clientHeight = 1815,
                   .border = Border::FixedSingle,
                   .taskbar = true,
                   .enterPressesButtons = true,
                   .focus = Command1[0],
                   .controls = {}};
    auto& c = w.controls;
    c.push_back({.name = Frame1, .kind = Kind::Frame, .place = {0, 0, 3495, 1815}});
    c.push_back({.name = Label1[0],
                 .kind = Kind::Label,
                 .parent = Frame1,
                 .place = {360, 360, 1335, 255},
                 .caption = "输入新口令：",
                 .font = songti(10.5)});
    c.push_back({.name = Text1[0],
                 .kind = Kind::TextBox,
                 .parent = Frame1,
                 .place = {1560, 360, 1455, 270},
                 .tab = 2,
                 .password = true});
    c.push_back({.name = Label1[1],
                 .kind = Kind::Label,
                 .parent = Frame1,
                 .place = {360, 855, 1335, 255},
                 .caption = "重输新口令：",
                 .font = songti(10.5)});
    c.push_back({.name = Text1[1],
                 .kind = Kind::TextBox,
                 .parent = Frame1,
                 .place = {1560, 840, 1455, 270},
                 .tab = 3,
                 .password = true});
    c.push_back({.name = Command1[0],
                 .kind = Kind::Button,
                 .parent = Frame1,
                 .place = {840, 1335, 735, 300},
                 .caption = "确定",
                 .tab = 0});
    c.push_back({.name = Command1[1],
                 .kind = Kind::Button,
                 .parent = Frame1,
                 .place = {1920, 1335, 735, 300},
                 .caption = "取消",
                 .tab = 1});
    return w;
}

WindowLayout drivesLayout() {
    using namespace names::drives;
    WindowLayout w{.name = "drives",
                   .caption = " 隐藏硬盘驱动器 <- 设置",
                   .clientWidth = 4695,
                   .clientHeight = 2775,
                   .border = Border::FixedSingle,
                   .taskbar = true,
                   .enterPressesButtons = false,
                   .focus = Check1[0],
                   .controls = {}};
    auto& c = w.controls;
    c.push_back({.name = Frame1, .kind = Kind::Frame, .place = {0, 0, 4695, 2775}});
    c.push_back(
        {.name = Frame2, .kind = Kind::Frame, .parent = Frame1, .place = {120, 120, 3135, 2040}});
    c.push_back(
        {.name = Frame3, .kind = Kind::Frame, .parent = Frame1, .place = {3345, 120, 1230, 2040}});
    // Three columns of five drives, each row a letter and then its box.
    constexpr std::array<int, 3> columnLeft{240, 1260, 2280};
    for (int i = 0; i < kDriveBoxes; ++i) {
        const int left = columnLeft[static_cast<std::size_t>(i / 5)];
        const int top = 150 + (i % 5) * 360;
        c.push_back({.name = Label1[static_cast<std::size_t>(i)],
                     .kind = Kind::Label,
                     .parent = Frame2,
                     .place = {left, top - 30, 420, 315},
                     .caption = kDriveLetters[static_cast<std::size_t>(i)],
                     .font = songti(12)});
        c.push_back({.name = Check1[static_cast<std::size_t>(i)],
                     .kind = Kind::CheckBox,
                     .parent = Frame2,
                     .place = {left + 450, top, 255, 255},
                     .tab = i});
    }
    for (int i = 0; i < 2; ++i)
        c.push_back({.name = Line1[static_cast<std::size_t>(i)],
                     .kind = Kind::Line,
                     .parent = Frame2,
                     .place = {1110 + i * 1020, 120, 15, 1800},
                     .fore = Rgb{128, 128, 128}});
    c.push_back({.name = Label1[15],
                 .kind = Kind::Label,
                 .parent = Frame3,
                 .place = {120, 240, 990, 1680},
                 .caption = "选择左边你要隐藏驱动器名称。",
                 .font = {Face::Kaiti, 12, false},
                 .fore = kBlue,
                 .wrap = true});
    constexpr std::array<const char*, 4> captions{"全选", "全否", "确定", "取消"};
    for (int i = 0; i < 4; ++i) {
        const bool green = i >= 2;
        c.push_back({.name = Command1[static_cast<std::size_t>(i)],
                     .kind = Kind::Button,
                     .parent = Frame1,
                     .place = {120 + i * 1140, 2280, 1020, 375},
                     .caption = captions[static_cast<std::size_t>(i)],
                     .back = green ? std::optional<Rgb>(kLightGreen) : std::nullopt,
                     .tab = kDriveBoxes + i,
                     .graphical = green});
    }
    return w;
}

WindowLayout noticeLayout() {
    using namespace names::notice;
    WindowLayout w{.name = "logo",
                   .caption = "Windows登录提示信息  <- 设置",
                   .clientWidth = 5175,
                   .clientHeight = 3135,
                   .border = Border::FixedSingle,
                   .taskbar = true,
                   .enterPressesButtons = false,
                   .focus = Text1,
                   .controls = {}};
    auto& c = w.controls;
    c.push_back({.name = Frame1, .kind = Kind::Frame, .place = {0, 0, 5175, 3135}});
    c.push_back({.name = Label1[0],
                 .kind = Kind::Label,
                 .parent = Frame1,
                 .place = {390, 300, 840, 300},
                 .caption = "标题：",
                 .font = songti(12),
                 .fore = kBlue});
    c.push_back({.name = Text1,
                 .kind = Kind::TextBox,
                 .parent = Frame1,
                 .place = {1290, 240, 3495, 645},
                 .font = songti(11.25),
                 .tab = 0,
                 .multiLine = true});
    c.push_back({.name = Label1[1],
                 .kind = Kind::Label,
                 .parent = Frame1,
                 .place = {390, 1065, 840, 300},
                 .caption = "内容：",
                 .font = songti(12),
                 .fore = kBlue});
    c.push_back({.name = Text2,
                 .kind = Kind::TextBox,
                 .parent = Frame1,
                 .place = {1290, 1005, 3495, 1215},
                 .font = songti(11.25),
                 .tab = 1,
                 .multiLine = true});
    constexpr std::array<const char*, 2> captions{"确定退出", "取消退出"};
    for (int i = 0; i < 2; ++i)
        c.push_back({.name = Command1[static_cast<std::size_t>(i)],
                     .kind = Kind::Button,
                     .parent = Frame1,
                     .place = {1515 + i * 1830, 2460, 1215, 435},
                     .caption = captions[static_cast<std::size_t>(i)],
                     .font = songti(9, true),
                     .tab = 2 + i});
    return w;
}

WindowLayout editorLayout() {
    using namespace names::editor;
    WindowLayout w{.name = "usersys",
                   .caption = " 自定功能维护 ",
                   .clientWidth = 7455,
                   .clientHeight = 4335,
                   .border = Border::FixedSingle,
                   .taskbar = true,
                   .enterPressesButtons = true,
                   .focus = "",
                   .controls = {}};
    auto& c = w.controls;
    c.push_back({.name = Frame1, .kind = Kind::Frame, .place = {0, 0, 7455, 4335}});
    auto label = [&](std::string_view name, TwipsRect place, const char* text) {
        c.push_back(
            {.name = name, .kind = Kind::Label, .parent = Frame1, .place = place, .caption = text});
    };
    auto box = [&](std::string_view name, TwipsRect place, int tab) {
        c.push_back(
            {.name = name, .kind = Kind::TextBox, .parent = Frame1, .place = place, .tab = tab});
    };
    label(Label1_7, {120, 640, 1695, 255}, "输入 “ 名 称 ”：");
    box(Name, {1800, 600, 3100, 270}, 0);
    label(Label1_0, {120, 1110, 1695, 255}, "选择“配置单元”：");
    c.push_back({.name = Combo1,
                 .kind = Kind::ComboBox,
                 .parent = Frame1,
                 .place = {1800, 1080, 2175, 300},
                 .tab = 1,
                 .items = {"HKEY_CLASSES_ROOT ", "HKEY_CURRENT_USER ", "HKEY_LOCAL_MACHINE ",
                           "HKEY_USERS"}});
    label(Label1_1, {120, 1605, 1695, 255}, "输入“ 项 ”内容：");
    box(KeyPath, {1800, 1560, 3100, 270}, 2);
    label(Label1_2, {120, 2085, 1695, 255}, "输入“子项”内容：");
    box(SecondName, {1800, 2040, 3100, 270}, 3);
    label(Label1_3, {120, 2565, 1695, 255}, "输入“ 值 ”内容：");
    box(Value, {1800, 2520, 3100, 270}, 4);
    label(Label1_4, {120, 3045, 1695, 255}, "输入“ 值 ”类型：");
    c.push_back(
        {.name = Combo2,
         .kind = Kind::ComboBox,
         .parent = Frame1,
         .place = {1800, 3000, 1935, 300},
         .tab = 5,
         .items = {custom::typeText(custom::kRegString), custom::typeText(custom::kRegBinary),
                   custom::typeText(custom::kRegDword), custom::typeText(custom::kRegDeleteKey)}});
    c.push_back({.name = Status,
                 .kind = Kind::Label,
                 .parent = Frame1,
                 .place = {1080, 240, 2055, 255},
                 .fore = kRed});
    c.push_back({.name = Clicked,
                 .kind = Kind::Label,
                 .parent = Frame1,
                 .place = {1560, 3960, 5655, 255},
                 .fore = kRed});
    c.push_back({.name = Grid1,
                 .kind = Kind::Grid,
                 .parent = Frame1,
                 .place = {4920, 480, 2295, 3375},
                 .tab = 11,
                 .grid = GridSpec{.columnTwips = {2000}, .rowTwips = 255}});
    auto button = [&](std::string_view name, int left, const char* word, const char* picture,
                      int tab, bool green) {
        c.push_back({.name = name,
                     .kind = Kind::PictureButton,
                     .parent = Frame1,
                     .place = {left, 3480, 855, 375},
                     .caption = word,
                     .back = green ? std::optional<Rgb>(kLightGreen) : std::nullopt,
                     .picture = picture,
                     .tab = tab,
                     .graphical = green});
    };
    button(Add, 120, "添加", "add", 6, false);
    button(Change, 1080, "修改", "change", 7, false);
    button(Delete, 2040, "删除", "delete", 8, false);
    button(Save, 3000, "生成", "make", 9, true);
    button(Cancel, 3960, "取消", "cancel", 10, false);
    return w;
}

}  // namespace

const WindowLayout& layoutOf(WindowKind kind) {
    static const std::array<WindowLayout, kWindowCount> layouts{
        gateLayout(),   mainLayout(),    passwordLayout(), drivesLayout(), noticeLayout(),
        editorLayout(), historyLayout(), previewLayout(),  gpoLayout()};
    return layouts[static_cast<std::size_t>(kind)];
}

}  // namespace tessmar::forms
