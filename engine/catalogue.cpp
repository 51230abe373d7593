#include "engine/catalogue.h"

#include <array>
#include <initializer_list>

#include "settings/vorn.h"

namespace tessmar::engine {
using platform::RegRoot;

namespace {

struct KeyRef {
    RegRoot root;
    std::string_view path;
};

constexpr KeyRef kA{RegRoot::CurrentUser,
                    "Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions"};
constexpr KeyRef kB{RegRoot::CurrentUser,
                    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System"};
constexpr KeyRef kC{RegRoot::CurrentUser,
                    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\system"};
constexpr KeyRef kD{RegRoot::CurrentUser,
                    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer"};
constexpr KeyRef kE{RegRoot::CurrentUser,
                    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\explorer"};
constexpr KeyRef kF{RegRoot::CurrentUser,
                    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\WinOldApp"};
constexpr KeyRef kG{RegRoot::CurrentUser,
                    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Network"};
constexpr KeyRef kH{RegRoot::LocalMachine,
                    "Software\\Microsoft\\Windows\\CurrentVersion\\Winlogon"};
constexpr KeyRef kI{
    RegRoot::LocalMachine,
    "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\Advanced\\Folder\\Hidden\\SHOWALL"};
constexpr KeyRef kJ{RegRoot::CurrentUser,
                    "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\advanced"};
constexpr KeyRef kK{RegRoot::LocalMachine, "Network\\Logon"};

Effect dword(KeyRef key, std::string_view name, std::uint32_t value) {
    return {EffectKind::Dword, key.root, key.path, name, value, Datum::Fixed};
}

Effect binary(KeyRef key, std::string_view name, std::uint32_t value, Datum datum = Datum::Fixed) {
    return {EffectKind::Binary, key.root, key.path, name, value, datum};
}

// A fixed string effect is the empty text.
Effect text(KeyRef key, std::string_view name, Datum datum = Datum::Fixed) {
    return {EffectKind::String, key.root, key.path, name, 0, datum};
}

struct Named {
    KeyRef key;
    std::string_view name;
};

// The usual item: each value as a REG_DWORD, 1 when chosen and 0 when not, written in the same
// order.
Item flagItem(std::string_view caption, std::initializer_list<Named> values) {
    Item item{caption, {}, {}};
    for (const auto& v : values) {
        item.chosen.push_back(dword(v.key, v.name, 1));
        item.notChosen.push_back(dword(v.key, v.name, 0));
    }
    return item;
}

// Chosen writes 0, not chosen writes 1.
Item invertedItem(std::string_view caption, KeyRef key, std::string_view name) {
    return {caption, {dword(key, name, 0)}, {dword(key, name, 1)}};
}

Category ieCategory() {
    return {0,
            "            IE 属性（要设置的项目）",
            settings::kFieldIe,
            {
                flagItem("禁用“IE”菜单上显示“Internet选项”", {{kA, "nobrowseroptions"}}),
                flagItem("禁用“IE”上的“收藏夹”", {{kA, "nofavorites"}}),
                flagItem("禁止“IE”菜单下的“打开”选项", {{kA, "nofileopen"}}),
                flagItem("禁止“IE”菜单下的“新建”选项", {{kA, "nofilenew"}}),
                flagItem("禁止“IE”菜单下的“保存”选项", {{kA, "nobrowsersave"}}),
                flagItem("禁止“IE”菜单下的“另存为”选项", {{kA, "nobrowsersaveas"}}),
                flagItem("禁止用户“下载文件”功能", {{kA, "noselectdownloaddir"}}),
            }};
}

Category deskCategory() {
    return {1,
            "             系统桌面（要设置的项目）",
            settings::kFieldDesk,
            {
                flagItem("禁止用户修改“注册表”", {{kB, "DisableRegistryTools"}}),
                {"隐藏硬盘驱动器Ｃ：、Ｄ：......              *",
                 {binary(kD, "NoDrives", 0, Datum::DriveMask)},
                 {binary(kD, "NoDrives", 0)}},
                {"设置登录Windows时给出提示信息               *",
                 {text(kH, "legalnoticecaption", Datum::NoticeTitle),
                  text(kH, "legalnoticetext", Datum::NoticeText)},
                 {text(kH, "legalnoticecaption"), text(kH, "legalnoticetext")}},
                flagItem("禁止“设置”项中的“文件夹、WindowsUpdate”",
                         {{kD, "nofolderoptions"}, {kD, "nowindowsupdate"}}),
                invertedItem("禁止修改“文件夹选项”中隐藏文件的“查看方式”", kI, "CheckedValue"),
                flagItem("隐藏“系统”属性中的“硬件配置文件”选项", {{kB, "noconfigpage"}}),
                flagItem("禁止设置显示属性", {{kB, "nodispcpl"}}),
                flagItem("隐藏显示属性中的“外观”属性页", {{kB, "nodispappearancepage"}}),
                flagItem("隐藏显示属性中的“背景”属性页", {{kB, "nodispbackgroundpage"}}),
                flagItem("隐藏显示属性中的“屏幕保护”属性页", {{kB, "nodispscrsavpage"}}),
                flagItem("隐藏显示属性中的“设置”属性页", {{kB, "nodispsettingspage"}}),
                {"隐藏“控制面板”",
                 {dword(kC, "nodispcpl", 1), binary(kD, "nosetfolders", 1)},
                 {dword(kC, "nodispcpl", 0), binary(kD, "nosetfolders", 0)}},
                flagItem("禁止修改“任务栏”", {{kD, "nosettaskbar"}}),
                flagItem("禁用旧的DOS程序", {{kF, "NoRealMode"}}),
                flagItem("禁用DOS模式窗口", {{kF, "Disable"}}),
                // Clearing goes the other way round: WinOldApp first, then explorer.
                {"禁止“重新启动计算机并切换到MS-DOS方式”",
                 {dword(kE, "norealmode", 1), dword(kF, "norealmode", 1)},
                 {dword(kF, "norealmode", 0), dword(kE, "norealmode", 0)}},
                flagItem("禁止对“活动桌面修改”", {{kD, "noactivedesktopchanges"}}),
                flagItem("防止匿名用户登录系统", {{kK, "mustbevalidated"}}),
                flagItem("使用户对系统所作的修改部份失效", {{kE, "Nosavesettings"}}),
                flagItem("防止用户修改登录“密码”",
                         {{kB, "noseccpl"}, {kB, "nopwdpage"}, {kB, "noprofilepage"}}),
            }};
}

Category netCategory() {
    return {2,
            "             网络共享（要设置的项目）",
            settings::kFieldNet,
            {
                flagItem("屏蔽“网上邻居”", {{kD, "NoNetHood"}}),
                flagItem("隐藏“网上邻居”中的“整个网络”", {{kG, "noentirenetwork"}}),
                flagItem("隐藏“网上邻居”中的“工作站”显示", {{kG, "noworkgroupcontents"}}),
                flagItem("禁止文件“共享”功能", {{kG, "NoFileSharingControl"}}),
                flagItem("禁止打印机“共享”功能", {{kG, "NoPrintSharingControl"}}),
            }};
}

Category fileCategory() {
    return {
        3,
        "             文件菜单（要设置的项目）",
        settings::kFieldFile,
        {
            flagItem("禁止“运行”菜单", {{kD, "norun"}}),
            {"禁止“注销”菜单", {binary(kD, "nologoff", 1)}, {binary(kD, "nologoff", 0)}},
            flagItem("禁止“查找”菜单", {{kD, "nofind"}}),
            flagItem("禁止“关闭系统”菜单", {{kD, "noclose"}}),
            flagItem("禁止“文档”菜单", {{kD, "norecentdocsmenu"}}),
            flagItem("禁止“收藏夹”菜单", {{kD, "norecentdocshistory"}, {kD, "nofavoritesmenu"}}),
            flagItem("禁止修改“开始”菜单", {{kD, "nochangestartmenu"}}),
            flagItem("隐藏在桌面空白处右击鼠标时弹出的上下文菜单", {{kD, "noviewcontextmenu"}}),
            flagItem("隐藏“任务栏”上按右键时弹出的菜单", {{kD, "notraycontextmenu"}}),
            invertedItem("禁用“开始”菜单的拖拽功能", kJ, "Start_enabledragdrop"),
            flagItem("隐藏“文件”菜单", {{kD, "nofilemenu"}, {kD, "nofile"}}),
        }};
}

constexpr std::array<std::string_view, 5> kNames{"IE属性", "系统桌面", "网络共享", "文件菜单",
                                                 "自定功能"};

}  // namespace

const Category& builtinCategory(int index) {
    static const std::array<Category, kBuiltinCategories> categories{ieCategory(), deskCategory(),
                                                                     netCategory(), fileCategory()};
    // Out of range has no items, so nothing can be applied from it.
    static const Category none{-1, "", 0, {}};
    if (index < 0 || index >= kBuiltinCategories) return none;
    return categories[static_cast<std::size_t>(index)];
}

Detail detailOf(int category, int row) {
    const Category& shown = builtinCategory(category);
    if (row < 1 || row > static_cast<int>(shown.items.size())) return Detail::None;
    for (const Effect& effect : shown.items[static_cast<std::size_t>(row - 1)].chosen) {
        if (effect.datum == Datum::DriveMask) return Detail::Drives;
        if (effect.datum == Datum::NoticeTitle || effect.datum == Datum::NoticeText)
            return Detail::Notice;
    }
    return Detail::None;
}

int settingsFieldOf(int category) {
    if (category == kCustomCategory) return settings::kFieldCustom;
    return builtinCategory(category).settingsField;
}

std::string_view categoryName(int category) {
    if (category < 0 || category >= static_cast<int>(kNames.size())) return {};
    return kNames[static_cast<std::size_t>(category)];
}

std::string completionMessage(int category) {
    if (categoryName(category).empty()) return {};
    return "系统已成功地完成了“" + std::string(categoryName(category)) + "”设置!";
}

settings::Checklist fillBuiltin(int index, const settings::Field& stored) {
    const Category& category = builtinCategory(index);
    std::vector<std::string> captions;
    captions.reserve(category.items.size());
    for (const auto& item : category.items) captions.emplace_back(item.caption);
    return settings::makeChecklist(std::string(category.title), captions, stored);
}

}  // namespace tessmar::engine
