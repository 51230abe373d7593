// The registry stand-in (a REGEDIT4 file) held against Wine's registry: one long sequence of writer
// operations runs on each, then both registries are compared key by key and value by value. The
// system side runs with the four predefined roots redirected below one test key, so that the
// comparison sees exactly what the sequence wrote. With an argument, the stand-in's file is copied
// there, for the import check in a fresh prefix.
#include <windows.h>

#include <array>
#include <filesystem>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "check.h"
#include "custom/entry.h"
#include "engine/apply.h"
#include "engine/catalogue.h"
#include "engine/mainreg.h"
#include "platform/codepage.h"
#include "scripted_messages.h"
#include "settings/sidefiles.h"
#include "settings/vorn.h"
#include "support.h"

using namespace tessmar;
using namespace tessmar::winetest;
using platform::RegRoot;

namespace {

constexpr const char* kRedirect = "Software\\TessmarConformance";
constexpr std::array<RegRoot, 4> kRoots = {RegRoot::ClassesRoot, RegRoot::CurrentUser,
                                           RegRoot::LocalMachine, RegRoot::Users};

struct Outcome {
    std::string label;
    bool tookEffect;
    std::string message;
};

class Sequence {
  public:
    Sequence(platform::Registry& registry, std::filesystem::path dir)
        : registry_(registry), dir_(std::move(dir)) {}

    void run() {
        if (!CHECK(settings::SettingsFile(dir_).createForChecklist("C:\\windows"))) return;
        setSideFiles({2, 3}, "  登录须知 ", "本机只供\r\n授权人员使用");
        builtInPasses();
        customEntries();
        deletes();
        setSideFiles({2, 14}, "标题", longText());
        builtInPasses();
    }

    const std::vector<Outcome>& outcomes() const { return outcomes_; }

  private:
    void note(std::string label, const Status& status) {
        outcomes_.push_back({std::move(label), status.has_value(),
                             status ? std::string() : status.error().message});
    }

    void setSideFiles(std::vector<int> drives, std::string title, std::string text) {
        settings::DriveFlags hide{};
        for (int d : drives) hide[static_cast<std::size_t>(d)] = true;
        CHECK(settings::DrivesFile(dir_).write(hide));
        CHECK(settings::NoticeFile(dir_).write(title, text));
    }

    static std::string longText() {
        std::string text;
        for (int i = 0; i < 12; ++i)
            text += "第" + std::to_string(i) + "行：未经授权，禁止使用本机。\r\n";
        return text + "完";
    }

    void applyPass(int category, const std::vector<int>& chosenRows, bool all) {
        std::size_t n = engine::builtinCategory(category).items.size();
        std::vector<bool> flags(n + 1, all);
        flags[0] = false;
        for (int row : chosenRows) flags[static_cast<std::size_t>(row)] = true;
        test::ScriptedMessages messages;
        engine::ApplyContext context{dir_, registry_, messages};
        auto outcome = engine::apply(context, engine::ApplyRequest{category, flags, 1});
        std::string label = "apply category " + std::to_string(category) + " selection " +
                            settings::buildSelection(flags, n);
        std::string failures;
        for (const auto& line : outcome.notWritten) failures += line + "; ";
        outcomes_.push_back(
            {label, outcome.notWritten.empty() && outcome.settingsWritten, failures});
    }

    void builtInPasses() {
        for (int category = 0; category < engine::kBuiltinCategories; ++category) {
            applyPass(category, {}, true);
            applyPass(category, {}, false);
            applyPass(category, {1, 3, 5, 7, 9, 11, 13, 15, 17, 19}, false);
        }
        for (std::vector<int> rows :
             {std::vector<int>{7}, {12}, {14}, {16}, {7, 12, 14, 16}, {2, 3}})
            applyPass(1, rows, false);
        applyPass(3, {10}, false);
    }

    Status perform(const custom::Operation& op) {
        return std::visit(
            [&](const auto& action) -> Status {
                using T = std::decay_t<decltype(action)>;
                if constexpr (std::is_same_v<T, custom::SetDword>) {
                    return engine::setdword(registry_, op.root, op.key, op.name, action.value);
                } else if constexpr (std::is_same_v<T, custom::SetString>) {
                    return engine::setstring(registry_, op.root, op.key, op.name, action.text);
                } else if constexpr (std::is_same_v<T, custom::SetBinary>) {
                    std::string bytes = cp936(action.text);
                    std::array<std::uint8_t, 4> four{};
                    for (std::size_t i = 0; i < 4 && i < bytes.size(); ++i)
                        four[i] = static_cast<std::uint8_t>(bytes[i]);
                    return engine::setbinary(registry_, op.root, op.key, op.name, four);
                } else {
                    return engine::deletekey(registry_, op.root, op.key, op.name);
                }
            },
            op.action);
    }

    void entry(const char* root, const char* key, const char* name, const char* data,
               std::optional<std::int16_t> reg) {
        custom::Entry e{"项目", root, key, name, data, reg};
        auto meaning = custom::meaningOf(e);
        std::string label = std::string("entry ") + root + " | " + key + " | " + name + " | " +
                            data + " | " + (reg ? std::to_string(*reg) : "unset");
        if (auto* op = std::get_if<custom::Operation>(&meaning))
            note(label, perform(*op));
        else
            note(label + " (not applicable)", fail("not applied"));
    }

    void customEntries() {
        const char* cu = "HKEY_CURRENT_USER ";
        const char* key = "Software\\Tessmar测试\\自定";
        entry(cu, key, "整数", "-5", 1);
        entry(cu, key, "INTEGER", "32767", 1);
        entry(cu, key, "integer", " 12 ", 1);
        entry(cu, key, "说明", "中文字符串“引号”\"直引号\" 反斜杠\\ 乗亐俓", 2);
        entry(cu, key, "丄", "第一", 2);
        entry(cu, key, "乤", "第二", 2);
        entry(cu, key, "Ω", "大写希腊字母", 2);
        entry(cu, key, "ω", "小写希腊字母", 2);
        entry(cu, key, "Я", "大写俄文字母", 2);
        entry(cu, key, "я", "小写俄文字母", 2);
        entry(cu, key, "Ｋ", "全角大写", 2);
        entry(cu, key, "ｋ", "全角小写", 2);
        entry(cu, key, "Ⅱ", "大写罗马数字", 2);
        entry(cu, key, "ⅱ", "小写罗马数字", 2);
        entry(cu, "Software\\Tessmar测试\\Σ", "键", "大写", 2);
        entry(cu, "Software\\Tessmar测试\\σ", "键", "小写", 2);
        entry(cu, key, "", "默认值", 2);
        entry(cu, key, "空", "", 2);
        entry(cu, key, "多行", "第一行\r\n第二行\t制表", 2);
        entry(cu, key, "名\"称=值]\\", "特殊字符", 2);
        entry(cu, key, "二进制", "ab", 3);
        entry(cu, key, "中文二进制", "中文字", 3);
        entry(cu, key, "空二进制", "", 3);
        entry(cu, key, "覆盖", "1", 1);
        entry(cu, key, "覆盖", "现在是字符串", 2);
        entry(cu, "SOFTWARE\\tessmar测试\\自定", "说明", "大小写不同的项中改写", 2);
        entry(cu, "Software\\Tessmar测试\\乗法\\表", "值", "尾字节为反斜杠的项名", 2);
        entry(cu, "Software\\Tessmar测试\\a]b", "v", "1", 1);
        entry("HKEY_LOCAL_MACHINE", "Software\\Tessmar测试", "机器", "7", 1);
        entry("HKEY_USERS", ".DEFAULT\\Software\\Tessmar测试", "用户", "用户值", 2);
        entry("HKEY_CLASSES_ROOT ", "Tessmar测试.文件", "", "文件类型", 2);
        entry(cu, key, "不是数字", "abc", 1);
        entry(cu, key, "没有类型", "1", std::nullopt);
        entry("HKEY_CURRENT_CONFIG", "Software", "根键", "1", 1);
    }

    void deletes() {
        const char* cu = "HKEY_CURRENT_USER";
        const char* key = "Software\\Tessmar测试\\删除";
        for (const char* sub : {"叶", "树\\枝", "Case", "中文子项\\下级", "Later"})
            entry(cu, (std::string(key) + "\\" + sub).c_str(), "v", "1", 1);
        entry(cu, key, "叶", "", 4);
        entry(cu, key, "不存在", "删除子项(U)", 4);
        entry(cu, key, "树", "", 4);
        entry(cu, key, "CASE", "", 4);
        entry(cu, key, "中文子项", "", 4);
        entry(cu, key, "树\\枝", "", 4);
        entry(cu, key, "树", "", 4);
        entry(cu, key, "", "", 4);
        entry(cu, "Software\\Tessmar测试\\无\\此路径", "子", "", 4);
        entry(cu, "Software\\Tessmar测试\\删除\\LATER", "值", "再写", 2);
    }

    platform::Registry& registry_;
    std::filesystem::path dir_;
    std::vector<Outcome> outcomes_;
};

// Redirects the four predefined roots below HKCU\kRedirect for as long as it lives.
class Redirection {
  public:
    Redirection() {
        wipe(HKEY_CURRENT_USER, kRedirect);
        for (std::size_t i = 0; i < kRoots.size(); ++i) {
            std::string path = std::string(kRedirect) + "\\" + platform::rootName(kRoots[i]);
            if (RegCreateKeyA(HKEY_CURRENT_USER, path.c_str(), &keys_[i]) != ERROR_SUCCESS)
                keys_[i] = nullptr;
        }
        for (std::size_t i = 0; i < kRoots.size(); ++i)
            if (keys_[i]) ok_ = RegOverridePredefKey(hkeyOf(kRoots[i]), keys_[i]) == ERROR_SUCCESS;
    }
    ~Redirection() {
        for (std::size_t i = 0; i < kRoots.size(); ++i) {
            RegOverridePredefKey(hkeyOf(kRoots[i]), nullptr);
            if (keys_[i]) RegCloseKey(keys_[i]);
        }
    }
    bool ok() const { return ok_ && keys_[0] && keys_[1] && keys_[2] && keys_[3]; }
    HKEY key(std::size_t i) const { return keys_[i]; }

  private:
    std::array<HKEY, 4> keys_{};
    bool ok_ = false;
};

}  // namespace

WINE_TEST(StandInAgreesWithTheSystemRegistry) {
    ScratchDir fileDir, systemDir, settingsDir;
    const auto regFile = fileDir / "registry.reg";

    auto standIn = platform::makeFileRegistry(regFile);
    Sequence onFile(*standIn, settingsDir.path() / "file");
    std::filesystem::create_directory(settingsDir.path() / "file");
    onFile.run();

    std::map<RegRoot, Snapshot> system;
    std::vector<Outcome> systemOutcomes;
    {
        Redirection redirect;
        REQUIRE(redirect.ok());
        auto real = platform::makeSystemRegistry();
        std::filesystem::create_directory(settingsDir.path() / "system");
        Sequence onSystem(*real, settingsDir.path() / "system");
        onSystem.run();
        systemOutcomes = onSystem.outcomes();
        for (std::size_t i = 0; i < kRoots.size(); ++i)
            system[kRoots[i]] = snapshot(redirect.key(i));
    }

    // The same operations took effect on both sides.
    REQUIRE(CHECK_EQ(onFile.outcomes().size(), systemOutcomes.size()));
    for (std::size_t i = 0; i < systemOutcomes.size(); ++i) {
        const auto& f = onFile.outcomes()[i];
        const auto& s = systemOutcomes[i];
        if (!CHECK_EQ(f.tookEffect, s.tookEffect))
            std::printf("    %s\n    stand-in: %s\n    system: %s\n", s.label.c_str(),
                        f.message.c_str(), s.message.c_str());
    }

    // Both registries hold the same keys and values.
    auto parsed = readRegedit4(regFile);
    if (!CHECK(parsed.has_value())) {
        std::printf("    %s\n", parsed.error().message.c_str());
        return;
    }
    for (RegRoot root : kRoots) {
        Snapshot standInSide = (*parsed)[root];
        ensureKey(standInSide, "");
        for (const auto& line :
             differences(system[root], "system", standInSide, "stand-in", platform::rootName(root)))
            CHECK_EQ(line, std::string());
        // The stand-in answers queries with what it stored.
        for (const auto& [folded, key] : system[root]) {
            if (!CHECK(standIn->keyExists(root, key.path)))
                std::printf("    key %s\\%s\n", platform::rootName(root), shown(key.path).c_str());
            for (const auto& [name, value] : key.values)
                CHECK_EQ(standIn->queryValue(root, key.path, value.name),
                         std::optional(value.value));
        }
    }

    if (!arguments().empty()) {
        std::error_code ec;
        std::filesystem::copy_file(regFile, arguments()[0],
                                   std::filesystem::copy_options::overwrite_existing, ec);
        CHECK(!ec);
    }
}
