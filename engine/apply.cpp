#include "engine/apply.h"

#include <algorithm>
#include <type_traits>
#include <variant>

#include "custom/entry.h"
#include "custom/store.h"
#include "engine/catalogue.h"
#include "engine/mainreg.h"
#include "platform/codepage.h"
#include "settings/selection.h"
#include "settings/sidefiles.h"
#include "settings/vorn.h"

namespace tessmar::engine {
namespace {

constexpr const char* kTitle = "系统提示:";
// A longer list of failures is cut here, so that the message box still fits on the screen.
constexpr std::size_t kListedFailures = 20;

bool chosen(const std::vector<bool>& flags, std::size_t row) {
    return row < flags.size() && flags[row];
}

void tell(const ApplyContext& context, const std::string& text) {
    context.messages.show(text, kTitle, platform::Buttons::Ok);
}

std::unexpected<Error> unreadable(const char* file, const Error& error) {
    return fail("无法读取 " + std::string(file) + "：" + error.message);
}

// A drives.ini never made in the drive window hides nothing; the pass does not make the file.
Result<std::uint32_t> readDriveMask(const std::filesystem::path& dir) {
    settings::DrivesFile file(dir);
    if (!file.exists()) return 0u;
    auto record = file.read();
    if (!record) return unreadable(settings::kDrivesFileName, record.error());
    return settings::parseMaskText(record->maskText);
}

// Likewise a missing logo.ini is the empty notice.
Result<settings::Notice> readNotice(const std::filesystem::path& dir) {
    settings::NoticeFile file(dir);
    if (!file.exists()) return settings::Notice{};
    auto record = file.read();
    if (!record) return unreadable(settings::kNoticeFileName, record.error());
    return settings::Notice{settings::trimBlanks(record->title),
                            settings::trimBlanks(record->text)};
}

// The side files, each read at most once and only when a chosen row needs it.
class SideData {
  public:
    explicit SideData(const std::filesystem::path& dir) : dir_(dir) {}

    Result<std::uint32_t> driveMask() {
        if (!mask_) mask_ = readDriveMask(dir_);
        return *mask_;
    }

    Result<settings::Notice> notice() {
        if (!notice_) notice_ = readNotice(dir_);
        return *notice_;
    }

  private:
    std::filesystem::path dir_;
    std::optional<Result<std::uint32_t>> mask_;
    std::optional<Result<settings::Notice>> notice_;
};

Status perform(Registry& registry, const Effect& effect, SideData& side) {
    switch (effect.kind) {
        case EffectKind::Dword:
            return setdword(registry, effect.root, effect.key, effect.name,
                            static_cast<std::int16_t>(effect.value));
        case EffectKind::Binary: {
            std::uint32_t value = effect.value;
            if (effect.datum == Datum::DriveMask) {
                auto mask = side.driveMask();
                if (!mask)
                    return notWritten(effect.root, effect.key, effect.name, mask.error().message);
                value = *mask;
            }
            return setbinary(registry, effect.root, effect.key, effect.name, fourBytes(value));
        }
        case EffectKind::String: {
            std::string text;
            if (effect.datum == Datum::NoticeTitle || effect.datum == Datum::NoticeText) {
                auto notice = side.notice();
                if (!notice)
                    return notWritten(effect.root, effect.key, effect.name, notice.error().message);
                text = effect.datum == Datum::NoticeTitle ? notice->title : notice->text;
            }
            return setstring(registry, effect.root, effect.key, effect.name, text);
        }
    }
    return {};
}

void applyBuiltin(const ApplyContext& context, const ApplyRequest& request,
                  std::vector<std::string>& failures) {
    const Category& category = builtinCategory(request.shezhiflag);
    SideData side(context.dir);
    for (std::size_t row = 1; row <= category.items.size(); ++row) {
        const Item& item = category.items[row - 1];
        for (const Effect& effect : chosen(request.flags, row) ? item.chosen : item.notChosen)
            if (auto done = perform(context.registry, effect, side); !done)
                failures.push_back(done.error().message);
    }
}

// The four bytes of a custom binary entry: its text's first four code page 936 bytes, zero-padded.
Result<std::array<std::uint8_t, 4>> binaryOf(const std::string& text) {
    auto bytes = platform::toCp936(text);
    if (!bytes) return std::unexpected(bytes.error());
    std::array<std::uint8_t, 4> out{};
    for (std::size_t i = 0; i < out.size() && i < bytes->size(); ++i)
        out[i] = static_cast<std::uint8_t>((*bytes)[i]);
    return out;
}

Status perform(Registry& registry, const custom::Operation& op) {
    return std::visit(
        [&](const auto& action) -> Status {
            using T = std::decay_t<decltype(action)>;
            if constexpr (std::is_same_v<T, custom::SetDword>) {
                return setdword(registry, op.root, op.key, op.name, action.value);
            } else if constexpr (std::is_same_v<T, custom::SetString>) {
                return setstring(registry, op.root, op.key, op.name, action.text);
            } else if constexpr (std::is_same_v<T, custom::SetBinary>) {
                auto bytes = binaryOf(action.text);
                if (!bytes) return notWritten(op.root, op.key, op.name, bytes.error().message);
                return setbinary(registry, op.root, op.key, op.name, *bytes);
            } else {
                return deletekey(registry, op.root, op.key, op.name);
            }
        },
        op.action);
}

std::string rowLabel(std::size_t row, const std::string& name) {
    std::string label = "第 " + std::to_string(row) + " 项";
    if (!name.empty()) label += "“" + name + "”";
    return label;
}

void applyCustom(const ApplyContext& context, std::size_t rows,
                 const std::vector<custom::Entry>& entries, const std::vector<bool>& flags,
                 std::vector<std::string>& failures) {
    for (std::size_t row = 1; row <= rows; ++row) {
        if (!chosen(flags, row)) continue;
        if (row > entries.size()) {
            failures.push_back(rowLabel(row, "") + "：该项已从数据库中删除，未予设置。");
            continue;
        }
        const custom::Entry& entry = entries[row - 1];
        auto meaning = custom::meaningOf(entry);
        if (auto* op = std::get_if<custom::Operation>(&meaning)) {
            if (auto done = perform(context.registry, *op); !done)
                failures.push_back(rowLabel(row, entry.sm) + "：" + done.error().message);
        } else if (auto* unusable = std::get_if<custom::Unusable>(&meaning)) {
            failures.push_back(rowLabel(row, "") + "：" + unusable->reason);
        }
    }
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

ApplyOutcome apply(const ApplyContext& context, const ApplyRequest& request) {
    ApplyOutcome outcome;
    const int category = request.shezhiflag;
    if (category < 0 || category > kCustomCategory) {
        tell(context, "没有选定要设置的类别，未作任何修改。");
        return outcome;
    }

    settings::SettingsFile settingsFile(context.dir);
    auto record = settingsFile.read();
    if (!record) {
        tell(context, "无法读取设置文件 " + std::string(settings::kSettingsFileName) + "：" +
                          record.error().message +
                          "\n本次设置没有执行，注册表和设置文件都未改动。");
        return outcome;
    }
    outcome.windir = settings::field(*record, settings::kFieldWindir);

    std::size_t rows = 0;
    std::vector<custom::Entry> entries;
    if (category == kCustomCategory) {
        rows = request.nrow > 1 ? static_cast<std::size_t>(request.nrow - 1) : 0;
        custom::Store store(context.dir / custom::kEntryFileName);
        if (!store.exists()) {
            tell(context, "系统文件丢失,请重新安装!\n找不到自定项目数据库 " +
                              std::string(custom::kEntryFileName) +
                              "，“自定功能”设置没有执行，注册表和设置文件都未改动。");
            return outcome;
        }
        auto walked = store.walk(rows);
        if (!walked) {
            tell(context, "无法读取自定项目数据库 " + std::string(custom::kEntryFileName) + "：" +
                              walked.error().message +
                              "\n“自定功能”设置没有执行，注册表和设置文件都未改动。");
            return outcome;
        }
        entries = std::move(*walked);
    } else {
        rows = builtinCategory(category).items.size();
    }

    context.registry.beginGroup();
    if (category == kCustomCategory)
        applyCustom(context, rows, entries, request.flags, outcome.notWritten);
    else
        applyBuiltin(context, request, outcome.notWritten);
    // A group the registry could not store took none of its writes: its one reason stands for
    // every value, which would otherwise each repeat it.
    if (auto stored = context.registry.endGroup(); !stored)
        outcome.notWritten = {"注册表未能保存，本次的全部写入都没有生效：" +
                              stored.error().message};

    settings::field(*record, settingsFieldOf(category)) =
        settings::buildSelection(request.flags, rows);

    tell(context, outcome.notWritten.empty() ? completionMessage(category)
                                             : failureReport(category, outcome.notWritten));

    if (auto written = settingsFile.write(*record); !written) {
        tell(context, "无法保存设置文件 " + std::string(settings::kSettingsFileName) + "：" +
                          written.error().message + "\n本次的选择没有记录，设置文件保持原样。");
        return outcome;
    }
    outcome.settingsWritten = true;
    return outcome;
}

}  // namespace tessmar::engine
