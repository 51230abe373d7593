#include "engine/catalogue.h"

#include <gtest/gtest.h>

#include <ostream>

namespace tessmar::engine {
namespace {
using platform::RegRoot;

constexpr auto HKCU = RegRoot::CurrentUser;
constexpr auto HKLM = RegRoot::LocalMachine;

struct Key {
    RegRoot root;
    const char* path;
};

const Key A{HKCU, "Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions"};
const Key B{HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System"};
const Key C{HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\system"};
const Key D{HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer"};
const Key E{HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\explorer"};
const Key F{HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\WinOldApp"};
const Key G{HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Network"};
const Key H{HKLM, "Software\\Microsoft\\Windows\\CurrentVersion\\Winlogon"};
const Key I{
    HKLM,
    "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\Advanced\\Folder\\Hidden\\SHOWALL"};
const Key J{HKCU, "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\advanced"};
const Key K{HKLM, "Network\\Logon"};

// An effect in plain, comparable form.
struct Fx {
    EffectKind kind;
    RegRoot root;
    std::string key;
    std::string name;
    std::uint32_t value;
    Datum datum;
    bool operator==(const Fx&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Fx& fx) {
    return out << static_cast<int>(fx.kind) << " " << platform::rootName(fx.root) << "\\" << fx.key
               << " " << fx.name << "=" << fx.value << " datum " << static_cast<int>(fx.datum);
}

Fx dw(Key k, const char* name, std::uint32_t v) {
    return {EffectKind::Dword, k.root, k.path, name, v, Datum::Fixed};
}
Fx bin(Key k, const char* name, std::uint32_t v, Datum d = Datum::Fixed) {
    return {EffectKind::Binary, k.root, k.path, name, v, d};
}
Fx sz(Key k, const char* name, Datum d = Datum::Fixed) {
    return {EffectKind::String, k.root, k.path, name, 0, d};
}

struct Row {
    std::string caption;
    std::vector<Fx> chosen;
    std::vector<Fx> notChosen;
};

// One REG_DWORD, 1 chosen and 0 not.
Row one(const char* caption, Key k, const char* name) {
    return {caption, {dw(k, name, 1)}, {dw(k, name, 0)}};
}

struct Expected {
    int index;
    std::string title;
    int field;
    std::vector<Row> rows;
};

std::vector<Expected> tables() {
    return {
        {0,
         "            IE 属性（要设置的项目）",
         1,
         {
             one("禁用“IE”菜单上显示“Internet选项”", A, "nobrowseroptions"),
             one("禁用“IE”上的“收藏夹”", A, "nofavorites"),
             one("禁止“IE”菜单下的“打开”选项", A, "nofileopen"),
             one("禁止“IE”菜单下的“新建”选项", A, "nofilenew"),
             one("禁止“IE”菜单下的“保存”选项", A, "nobrowsersave"),
             one("禁止“IE”菜单下的“另存为”选项", A, "nobrowsersaveas"),
             one("禁止用户“下载文件”功能", A, "noselectdownloaddir"),
         }},
        {1,
         "             系统桌面（要设置的项目）",
         4,
         {
             one("禁止用户修改“注册表”", B, "DisableRegistryTools"),
             {"隐藏硬盘驱动器Ｃ：、Ｄ：......              *",
              {bin(D, "NoDrives", 0, Datum::DriveMask)},
              {bin(D, "NoDrives", 0)}},
             {"设置登录Windows时给出提示信息               *",
              {sz(H, "legalnoticecaption", Datum::NoticeTitle),
               sz(H, "legalnoticetext", Datum::NoticeText)},
              {sz(H, "legalnoticecaption"), sz(H, "legalnoticetext")}},
             {"禁止“设置”项中的“文件夹、WindowsUpdate”",
              {dw(D, "nofolderoptions", 1), dw(D, "nowindowsupdate", 1)},
              {dw(D, "nofolderoptions", 0), dw(D, "nowindowsupdate", 0)}},
             {"禁止修改“文件夹选项”中隐藏文件的“查看方式”",
              {dw(I, "CheckedValue", 0)},
              {dw(I, "CheckedValue", 1)}},
             one("隐藏“系统”属性中的“硬件配置文件”选项", B, "noconfigpage"),
             one("禁止设置显示属性", B, "nodispcpl"),
             one("隐藏显示属性中的“外观”属性页", B, "nodispappearancepage"),
             one("隐藏显示属性中的“背景”属性页", B, "nodispbackgroundpage"),
             one("隐藏显示属性中的“屏幕保护”属性页", B, "nodispscrsavpage"),
             one("隐藏显示属性中的“设置”属性页", B, "nodispsettingspage"),
             {"隐藏“控制面板”",
              {dw(C, "nodispcpl", 1), bin(D, "nosetfolders", 1)},
              {dw(C, "nodispcpl", 0), bin(D, "nosetfolders", 0)}},
             one("禁止修改“任务栏”", D, "nosettaskbar"),
             one("禁用旧的DOS程序", F, "NoRealMode"),
             one("禁用DOS模式窗口", F, "Disable"),
             {"禁止“重新启动计算机并切换到MS-DOS方式”",
              {dw(E, "norealmode", 1), dw(F, "norealmode", 1)},
              {dw(F, "norealmode", 0), dw(E, "norealmode", 0)}},
             one("禁止对“活动桌面修改”", D, "noactivedesktopchanges"),
             one("防止匿名用户登录系统", K, "mustbevalidated"),
             one("使用户对系统所作的修改部份失效", E, "Nosavesettings"),
             {"防止用户修改登录“密码”",
              {dw(B, "noseccpl", 1), dw(B, "nopwdpage", 1), dw(B, "noprofilepage", 1)},
              {dw(B, "noseccpl", 0), dw(B, "nopwdpage", 0), dw(B, "noprofilepage", 0)}},
         }},
        {2,
         "             网络共享（要设置的项目）",
         5,
         {
             one("屏蔽“网上邻居”", D, "NoNetHood"),
             one("隐藏“网上邻居”中的“整个网络”", G, "noentirenetwork"),
             one("隐藏“网上邻居”中的“工作站”显示", G, "noworkgroupcontents"),
             one("禁止文件“共享”功能", G, "NoFileSharingControl"),
             one("禁止打印机“共享”功能", G, "NoPrintSharingControl"),
         }},
        {3,
         "             文件菜单（要设置的项目）",
         6,
         {
             one("禁止“运行”菜单", D, "norun"),
             {"禁止“注销”菜单", {bin(D, "nologoff", 1)}, {bin(D, "nologoff", 0)}},
             one("禁止“查找”菜单", D, "nofind"),
             one("禁止“关闭系统”菜单", D, "noclose"),
             one("禁止“文档”菜单", D, "norecentdocsmenu"),
             {"禁止“收藏夹”菜单",
              {dw(D, "norecentdocshistory", 1), dw(D, "nofavoritesmenu", 1)},
              {dw(D, "norecentdocshistory", 0), dw(D, "nofavoritesmenu", 0)}},
             one("禁止修改“开始”菜单", D, "nochangestartmenu"),
             one("隐藏在桌面空白处右击鼠标时弹出的上下文菜单", D, "noviewcontextmenu"),
             one("隐藏“任务栏”上按右键时弹出的菜单", D, "notraycontextmenu"),
             {"禁用“开始”菜单的拖拽功能",
              {dw(J, "Start_enabledragdrop", 0)},
              {dw(J, "Start_enabledragdrop", 1)}},
             {"隐藏“文件”菜单",
              {dw(D, "nofilemenu", 1), dw(D, "nofile", 1)},
              {dw(D, "nofilemenu", 0), dw(D, "nofile", 0)}},
         }},
    };
}

std::vector<Fx> plain(const std::vector<Effect>& effects) {
    std::vector<Fx> out;
    for (const auto& e : effects)
        out.push_back({e.kind, e.root, std::string(e.key), std::string(e.name), e.value, e.datum});
    return out;
}

TEST(CatalogueTest, EveryCategoryMatchesItsTable) {
    for (const auto& expected : tables()) {
        SCOPED_TRACE("category " + std::to_string(expected.index));
        const Category& category = builtinCategory(expected.index);
        EXPECT_EQ(category.index, expected.index);
        EXPECT_EQ(category.title, expected.title);
        EXPECT_EQ(category.settingsField, expected.field);
        EXPECT_EQ(settingsFieldOf(expected.index), expected.field);
        ASSERT_EQ(category.items.size(), expected.rows.size());
        for (std::size_t i = 0; i < expected.rows.size(); ++i) {
            SCOPED_TRACE("row " + std::to_string(i + 1));
            const Item& item = category.items[i];
            EXPECT_EQ(item.caption, expected.rows[i].caption);
            EXPECT_EQ(plain(item.chosen), expected.rows[i].chosen);
            EXPECT_EQ(plain(item.notChosen), expected.rows[i].notChosen);
        }
    }
}

TEST(CatalogueTest, CaptionsKeepTheirBlanksAndFullWidthCharacters) {
    const auto& desk = builtinCategory(1).items;
    // 14 and 15 blanks before the asterisk, counted in bytes of the UTF-8 text.
    EXPECT_TRUE(desk[1].caption.ends_with("......" + std::string(14, ' ') + "*"));
    EXPECT_TRUE(desk[2].caption.ends_with("信息" + std::string(15, ' ') + "*"));
    EXPECT_TRUE(desk[1].caption.starts_with("隐藏硬盘驱动器\uFF23\uFF1A\u3001\uFF24\uFF1A......"));
    EXPECT_EQ(builtinCategory(3).items[0].caption, "禁止\u201C运行\u201D菜单");
}

TEST(CatalogueTest, NamesMessagesAndFields) {
    const std::pair<const char*, int> expected[] = {
        {"IE属性", 1}, {"系统桌面", 4}, {"网络共享", 5}, {"文件菜单", 6}, {"自定功能", 7}};
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(categoryName(c), expected[c].first);
        EXPECT_EQ(settingsFieldOf(c), expected[c].second);
    }
    EXPECT_EQ(completionMessage(0), "系统已成功地完成了“IE属性”设置!");
    EXPECT_EQ(completionMessage(1), "系统已成功地完成了“系统桌面”设置!");
    EXPECT_EQ(completionMessage(2), "系统已成功地完成了“网络共享”设置!");
    EXPECT_EQ(completionMessage(3), "系统已成功地完成了“文件菜单”设置!");
    EXPECT_EQ(completionMessage(4), "系统已成功地完成了“自定功能”设置!");
    EXPECT_TRUE(builtinCategory(4).items.empty());
    EXPECT_TRUE(builtinCategory(-1).items.empty());
    EXPECT_EQ(settingsFieldOf(5), 0);
}

TEST(CatalogueTest, FillMarksRowsFromTheStoredSelection) {
    auto list = fillBuiltin(0, std::string("1010000"));
    ASSERT_EQ(list.rows.size(), 8u);
    EXPECT_EQ(list.rows[0][0], "序号");
    EXPECT_EQ(list.rows[0][1], "            IE 属性（要设置的项目）");
    EXPECT_EQ(list.rows[0][2], "选取");
    EXPECT_EQ(list.rows[3][0], "3");
    EXPECT_EQ(list.rows[3][1], "禁止“IE”菜单下的“打开”选项");
    for (std::size_t i = 1; i <= 7; ++i) {
        bool chosen = i == 1 || i == 3;
        EXPECT_EQ(list.flags[i], chosen) << i;
        EXPECT_EQ(list.rows[i][2], chosen ? " √" : " ") << i;
    }

    // Characters past the twentieth are ignored; an unset field chooses nothing.
    auto desk = fillBuiltin(1, std::string(" 0000000000000000000111111 "));
    ASSERT_EQ(desk.rows.size(), 21u);
    EXPECT_TRUE(desk.flags[20]);
    EXPECT_FALSE(desk.flags[19]);
    auto fresh = fillBuiltin(3, std::nullopt);
    ASSERT_EQ(fresh.rows.size(), 12u);
    for (std::size_t i = 1; i <= 11; ++i) EXPECT_FALSE(fresh.flags[i]);
}

}  // namespace
}  // namespace tessmar::engine
