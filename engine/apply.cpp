#include "engine/apply.h"

#include <algorithm>

#include "engine/catalogue.h"
#include "engine/history.h"
#include "engine/mainreg.h"
#include "engine/passlock.h"
#include "engine/plan.h"
#include "settings/choices.h"
#include "settings/vorn.h"

namespace tessmar::engine {
namespace {

constexpr const char* kTitle = "系统提示:";
// A longer list of failures is cut here, so that the message box still fits on the screen.
constexpr std::size_t kListedFailures = 20;

void tell(const ApplyContext& context, const std::string& text) {
    context.messages.show(text, kTitle, platform::Buttons::Ok);
}

// Performs the plan's writes in order; what could not be planned is reported in its place.
void performPlan(const ApplyContext& context, const Plan& plan, std::vector<std::string>& failures,
                 std::vector<RegWrite>& written) {
    std::size_t next = 0;
    auto reportUpTo = [&](std::size_t write) {
        for (; next < plan.notDone.size() && plan.notDoneAt[next] <= write; ++next)
            failures.push_back(plan.notDone[next]);
    };
    for (std::size_t i = 0; i < plan.writes.size(); ++i) {
        reportUpTo(i);
        const RegWrite& write = plan.writes[i];
        if (auto done = perform(context.registry, write); !done) {
            auto label = plan.labels.find(write.row);
            failures.push_back(label == plan.labels.end()
                                   ? done.error().message
                                   : label->second + "：" + done.error().message);
        } else {
            written.push_back(write);
        }
    }
    reportUpTo(plan.writes.size());
}

std::string failureReport(int category, const std::vector<std::string>& failures) {
    std::string text =
        "“" + std::string(categoryName(category)) + "”设置没有全部完成，以下各项没有写入：";
    std::size_t listed = std::min(failures.size(), kListedFailures);
    for (std::size_t i = 0; i < listed; ++i) text += "\n" + failures[i];
    if (failures.size() > listed) text += "\n……等共 " + std::to_string(failures.size()) + " 项";
    return text;
}

}  // namespace

ApplyOutcome apply(const ApplyContext& context, const ApplyRequest& request,
                   const std::vector<std::string>* customRows) {
    ApplyOutcome outcome;
    const int category = request.shezhiflag;
    if (category < 0 || category > kCustomCategory) {
        tell(context, "没有选定要设置的类别，未作任何修改。");
        return outcome;
    }
    const bool me = !context.target || context.target->ref.kind == TargetKind::Me;

    // Held to the end of the pass: vorn.ini is read, the registry written and vorn.ini rewritten
    // without another copy's pass in between.
    auto lock = lockPass(context.dir, context.lockWait);
    if (!lock) {
        tell(context, lock.error().message + "\n“" + std::string(categoryName(category)) +
                          "”设置没有执行，注册表和设置文件都未改动。");
        return outcome;
    }

    // The running account's choices live in vorn.ini; every other target's in targets.ini, which
    // must be readable before anything is written, so that the choice can be recorded after.
    settings::SettingsFile settingsFile(context.dir);
    settings::ChoicesFile choicesFile(context.dir);
    std::optional<settings::Record> record;
    if (me) {
        auto read = settingsFile.read();
        if (!read) {
            tell(context, "无法读取设置文件 " + std::string(settings::kSettingsFileName) + "：" +
                              read.error().message +
                              "\n本次设置没有执行，注册表和设置文件都未改动。");
            return outcome;
        }
        record = std::move(*read);
        outcome.windir = settings::field(*record, settings::kFieldWindir);
    } else if (auto read = choicesFile.read(); !read) {
        tell(context, "无法读取 " + std::string(settings::kChoicesFileName) + "：" +
                          read.error().message + "\n本次设置没有执行，注册表和设置文件都未改动。");
        return outcome;
    }

    auto planned = plan(context.dir, category, request.flags, request.nrow, customRows);
    if (!planned) {
        tell(context, planned.error().message);
        return outcome;
    }

    // What the pass is about to change is saved first: without that record, nothing is written.
    if (context.recordHistory) {
        auto recorded =
            recordPlan(context.dir, context.registry, *planned, std::chrono::system_clock::now(),
                       me ? TargetRef{} : context.target->ref);
        if (!recorded) {
            tell(context, "无法保存历史记录：" + recorded.error().message + "\n“" +
                              std::string(categoryName(category)) +
                              "”设置没有执行，注册表和设置文件都未改动。");
            return outcome;
        }
        outcome.history = std::move(*recorded);
    }

    outcome.performed = true;
    context.registry.beginGroup();
    performPlan(context, *planned, outcome.notWritten, outcome.written);
    // A group the registry could not store took none of its writes: its one reason stands for
    // every value, which would otherwise each repeat it.
    if (auto stored = context.registry.endGroup(); !stored) {
        outcome.notWritten = {"注册表未能保存，本次的全部写入都没有生效：" +
                              stored.error().message};
        outcome.written.clear();
    }

    std::string done = completionMessage(category);
    if (!me) done += "\n" + completionLine(*context.target);
    tell(context, outcome.notWritten.empty() ? done : failureReport(category, outcome.notWritten));

    if (!me) {
        if (auto stored = choicesFile.store(choicesKey(context.target->ref),
                                            context.target->ref.name, category, planned->selection);
            !stored) {
            tell(context, "无法保存 " + std::string(settings::kChoicesFileName) + "：" +
                              stored.error().message + "\n本次的选择没有记录。");
            return outcome;
        }
        outcome.settingsWritten = true;
        return outcome;
    }

    settings::field(*record, settingsFieldOf(category)) = planned->selection;
    // Field 2 goes back as a text even when it was read unset, as the gate writes it.
    settings::field(*record, settings::kFieldWindir) = outcome.windir.value_or("");

    if (auto written = settingsFile.write(*record); !written) {
        tell(context, "无法保存设置文件 " + std::string(settings::kSettingsFileName) + "：" +
                          written.error().message + "\n本次的选择没有记录，设置文件保持原样。");
        return outcome;
    }
    outcome.settingsWritten = true;
    return outcome;
}

}  // namespace tessmar::engine
