#include "gpo/cli.h"

#include <algorithm>

#include "custom/store.h"
#include "engine/apply.h"
#include "engine/catalogue.h"
#include "engine/history.h"
#include "engine/state.h"
#include "gpo/export.h"
#include "gpo/target.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "settings/choices.h"
#include "settings/selection.h"
#include "settings/vorn.h"

namespace tessmar::gpo {
namespace {

// Standard error gets one line, whatever the reason holds.
std::string oneLine(std::string s) {
    std::replace(s.begin(), s.end(), '\n', ' ');
    std::erase(s, '\r');
    return s;
}

// The message boxes of the apply pass, kept for the lines they become.
class Collected : public platform::MessageBoxes {
  public:
    platform::Answer show(const std::string& text, const std::string&, platform::Buttons) override {
        texts.push_back(text);
        return platform::Answer::Ok;
    }
    std::vector<std::string> texts;
};

int exportCommand(const std::vector<std::string>& args, const std::filesystem::path& dir,
                  std::ostream& out, std::ostream& err) {
    if (args.size() != 2 || args[1].empty()) {
        err << "用法：tessmar --export 文件夹（把所有类别的设置导出为组策略文件和 tessmar.reg）\n";
        return 2;
    }
    auto report = exportTo(dir, std::filesystem::path(args[1]));
    if (!report) {
        err << "导出失败：" << oneLine(report.error().message) << '\n';
        return 1;
    }
    for (const auto& line : reportLines(*report)) out << oneLine(line) << '\n';
    out.flush();
    return out ? 0 : 1;
}

int accountsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    System system) {
    if (args.size() != 1) {
        err << "用法：tessmar --accounts（列出可以作为 --to 的目标）\n";
        return 2;
    }
    auto targets = engine::listTargets(system.registry, system.accounts);
    if (!targets) {
        err << oneLine(targets.error().message) << '\n';
        return 1;
    }
    for (const auto& t : *targets)
        out << t.word << '\t' << (t.ref.sid.empty() ? "-" : t.ref.sid) << '\t'
            << oneLine(t.description) << '\n';
    out.flush();
    return out ? 0 : 1;
}

// "已写入 HKEY_USERS\S-1-5-21-…\Software\…\NoRun：DWORD 值 1（0x00000001）": where the
// write went, named as the history record names it.
std::string writtenLine(const engine::TargetRef& target, const engine::RegWrite& w) {
    const std::string where =
        engine::targetWhere(target, w.root, platform::toCp936(w.key).value_or("?"),
                            platform::toCp936(w.name).value_or("?"));
    if (w.op == engine::RegWrite::Op::DeleteKey) return "已删除子项 " + where;
    return "已写入 " + where + "：" + engine::state::describe(platform::RegValue{w.type, w.data});
}

struct ApplyArguments {
    int category = -1;
    std::string target = "me";
    std::optional<std::string> selection;
};

std::optional<ApplyArguments> parseApply(const std::vector<std::string>& args) {
    if (args.size() < 2 || args[1].size() != 1 || args[1][0] < '0' || args[1][0] > '4')
        return std::nullopt;
    ApplyArguments a;
    a.category = args[1][0] - '0';
    bool to = false;
    for (std::size_t i = 2; i < args.size(); i += 2) {
        if (i + 1 >= args.size()) return std::nullopt;
        if (args[i] == "--to" && !to) {
            a.target = args[i + 1];
            to = true;
        } else if (args[i] == "--choose" && !a.selection) {
            a.selection = args[i + 1];
        } else {
            return std::nullopt;
        }
    }
    return a;
}

int applyCommand(const std::vector<std::string>& args, const std::filesystem::path& dir,
                 std::ostream& out, std::ostream& err, System system) {
    const auto a = parseApply(args);
    if (!a) {
        err << "用法：tessmar --apply 类别(0-4) [--to 目标] [--choose 选择串]（目标见 tessmar "
               "--accounts）\n";
        return 2;
    }
    auto targets = engine::listTargets(system.registry, system.accounts);
    if (!targets) {
        err << oneLine(targets.error().message) << '\n';
        return 1;
    }
    const engine::Target* target = engine::findTarget(*targets, a->target, system.accounts);
    if (!target) {
        err << "找不到目标“" << oneLine(a->target)
            << "”：请用 tessmar --accounts 列出可用的目标，或给出账户名、SID。\n";
        return 2;
    }
    if (!target->available) {
        err << oneLine(target->why) << '\n';
        return 2;
    }

    std::size_t rows = 0;
    if (a->category == engine::kCustomCategory) {
        const custom::Store store(dir / custom::kEntryFileName);
        if (!store.exists()) {
            err << "系统文件丢失,请重新安装!找不到自定项目数据库 "
                << platform::pathText(store.path()) << '\n';
            return 1;
        }
        auto count = store.count();
        if (!count) {
            err << oneLine(count.error().message) << '\n';
            return 1;
        }
        rows = *count;
    } else {
        rows = engine::builtinCategory(a->category).items.size();
    }

    if (a->selection) {
        const std::string& s = *a->selection;
        if (s.size() != rows || s.find_first_not_of("01") != std::string::npos) {
            err << "选择串“" << oneLine(s) << "”无效：“" << engine::categoryName(a->category)
                << "”有 " << rows << " 项，应为 " << rows << " 个“0”或“1”。\n";
            return 2;
        }
    }
    settings::Field stored = a->selection;
    if (target->ref.kind == engine::TargetKind::Me) {
        // As a category button does before the window's pass, the settings file is made when it
        // is missing.
        const settings::SettingsFile file(dir);
        if (!file.exists())
            if (auto made = file.createForChecklist(platform::getwindowsdir()); !made) {
                err << oneLine(made.error().message) << '\n';
                return 1;
            }
        auto record = file.read();
        if (!record) {
            err << "无法读取设置文件 vorn.ini：" << oneLine(record.error().message) << '\n';
            return 1;
        }
        if (!stored) stored = settings::field(*record, engine::settingsFieldOf(a->category));
    } else if (!stored) {
        auto choice =
            settings::ChoicesFile(dir).selection(engine::choicesKey(target->ref), a->category);
        if (!choice) {
            err << oneLine(choice.error().message) << '\n';
            return 1;
        }
        stored = *choice;
    }

    auto opened = openTarget(system.registry, *target, dir);
    if (!opened) {
        err << oneLine(opened.error().message) << '\n';
        return 1;
    }
    Collected messages;
    const engine::ApplyContext context{
        .dir = dir, .registry = (*opened)->registry(), .messages = messages, .target = target};
    const engine::ApplyOutcome outcome = engine::apply(
        context, {a->category, settings::parseSelection(stored, rows), static_cast<int>(rows + 1)});
    const Status closed = (*opened)->close();

    bool ok = outcome.settingsWritten && outcome.notWritten.empty() && closed.has_value();
    if (!outcome.performed) {
        for (const auto& text : messages.texts) err << oneLine(text) << '\n';
        return 1;
    }
    out << "目标：" << oneLine(target->description) << '\n';
    for (const auto& w : outcome.written) out << oneLine(writtenLine(target->ref, w)) << '\n';
    for (const auto& failure : outcome.notWritten) err << "未写入：" << oneLine(failure) << '\n';
    // The first message is the pass's report: completion, or the failures listed above.
    for (std::size_t i = 0; i < messages.texts.size(); ++i) {
        if (i == 0 && outcome.notWritten.empty()) {
            out << messages.texts[i] << '\n';
        } else if (i > 0) {
            err << oneLine(messages.texts[i]) << '\n';
        }
    }
    if (!closed) err << oneLine(closed.error().message) << '\n';
    out.flush();
    return ok && out ? 0 : 1;
}

}  // namespace

std::optional<int> runCommandLine(const std::vector<std::string>& args,
                                  const std::filesystem::path& dir, std::ostream& out,
                                  std::ostream& err, System system) {
    if (args.empty()) return std::nullopt;
    if (args[0] == "--export") return exportCommand(args, dir, out, err);
    if (args[0] == "--accounts") return accountsCommand(args, out, err, system);
    if (args[0] == "--apply") return applyCommand(args, dir, out, err, system);
    return std::nullopt;
}

std::optional<int> runCommandLine(const std::vector<std::string>& args,
                                  const std::filesystem::path& dir, std::ostream& out,
                                  std::ostream& err) {
    if (args.empty()) return std::nullopt;
    if (args[0] == "--export") return exportCommand(args, dir, out, err);
    if (args[0] != "--accounts" && args[0] != "--apply") return std::nullopt;
    const auto registry = platform::makeSystemRegistry();
    const auto accounts = platform::makeSystemAccounts();
    return runCommandLine(args, dir, out, err, System{*registry, *accounts});
}

}  // namespace tessmar::gpo
