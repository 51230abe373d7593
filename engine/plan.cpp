#include "engine/plan.h"

#include <array>
#include <optional>
#include <type_traits>
#include <variant>

#include "custom/entry.h"
#include "custom/store.h"
#include "engine/catalogue.h"
#include "engine/mainreg.h"
#include "platform/codepage.h"
#include "settings/selection.h"
#include "settings/sidefiles.h"

namespace tessmar::engine {
using platform::RegType;

namespace {

bool chosen(const std::vector<bool>& flags, std::size_t row) {
    return row < flags.size() && flags[row];
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
    if (auto mask = settings::parseMaskText(record->maskText)) return *mask;
    return fail(std::string(settings::kDrivesFileName) + " 已损坏：其中的驱动器掩码“" +
                record->maskText + "”超出范围");
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

// Collects the writes and, in their place among them, the rows that cannot be performed.
class Builder {
  public:
    explicit Builder(Plan& plan) : plan_(plan) {}

    void set(std::size_t row, RegRoot root, std::string_view key, std::string_view name,
             RegType type, std::vector<std::uint8_t> data) {
        RegWrite w;
        w.root = root;
        w.key = key;
        w.name = name;
        w.type = type;
        w.data = std::move(data);
        w.row = row;
        plan_.writes.push_back(std::move(w));
    }

    void remove(std::size_t row, RegRoot root, std::string_view key, std::string_view subkey) {
        RegWrite w;
        w.op = RegWrite::Op::DeleteKey;
        w.root = root;
        w.key = key;
        w.name = subkey;
        w.row = row;
        plan_.writes.push_back(std::move(w));
    }

    void notDone(std::string reason) {
        plan_.notDone.push_back(std::move(reason));
        plan_.notDoneAt.push_back(plan_.writes.size());
    }

  private:
    Plan& plan_;
};

std::vector<std::uint8_t> dwordBytes(std::int32_t value) {
    auto b = fourBytes(static_cast<std::uint32_t>(value));
    return {b.begin(), b.end()};
}

// REG_SZ as the writer stores it: the code page 936 bytes and one terminating zero.
Result<std::vector<std::uint8_t>> szBytes(std::string_view text) {
    auto bytes = platform::toCp936(text);
    if (!bytes) return std::unexpected(bytes.error());
    std::vector<std::uint8_t> data(bytes->begin(), bytes->end());
    data.push_back(0);
    return data;
}

void planEffect(Builder& out, std::size_t row, const Effect& effect, SideData& side) {
    switch (effect.kind) {
        case EffectKind::Dword:
            out.set(row, effect.root, effect.key, effect.name, RegType::Dword,
                    dwordBytes(static_cast<std::int16_t>(effect.value)));
            return;
        case EffectKind::Binary: {
            std::uint32_t value = effect.value;
            if (effect.datum == Datum::DriveMask) {
                auto mask = side.driveMask();
                if (!mask) {
                    out.notDone(
                        notWritten(effect.root, effect.key, effect.name, mask.error().message)
                            .error()
                            .message);
                    return;
                }
                value = *mask;
            }
            auto b = fourBytes(value);
            out.set(row, effect.root, effect.key, effect.name, RegType::Binary,
                    {b.begin(), b.end()});
            return;
        }
        case EffectKind::String: {
            std::string text;
            if (effect.datum == Datum::NoticeTitle || effect.datum == Datum::NoticeText) {
                auto notice = side.notice();
                if (!notice) {
                    out.notDone(
                        notWritten(effect.root, effect.key, effect.name, notice.error().message)
                            .error()
                            .message);
                    return;
                }
                text = effect.datum == Datum::NoticeTitle ? notice->title : notice->text;
            }
            auto data = szBytes(text);
            if (!data) {
                out.notDone(notWritten(effect.root, effect.key, effect.name, data.error().message)
                                .error()
                                .message);
                return;
            }
            out.set(row, effect.root, effect.key, effect.name, RegType::Sz, std::move(*data));
            return;
        }
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

std::string rowLabel(std::size_t row, const std::string& name) {
    std::string label = "第 " + std::to_string(row) + " 项";
    if (!name.empty()) label += "“" + name + "”";
    return label;
}

void planOperation(Builder& out, std::size_t row, const std::string& label,
                   const custom::Operation& op) {
    auto refuse = [&](const Error& error) {
        out.notDone(label + "：" +
                    notWritten(op.root, op.key, op.name, error.message).error().message);
    };
    std::visit(
        [&](const auto& action) {
            using T = std::decay_t<decltype(action)>;
            if constexpr (std::is_same_v<T, custom::SetDword>) {
                out.set(row, op.root, op.key, op.name, RegType::Dword, dwordBytes(action.value));
            } else if constexpr (std::is_same_v<T, custom::SetString>) {
                auto data = szBytes(action.text);
                if (!data) return refuse(data.error());
                out.set(row, op.root, op.key, op.name, RegType::Sz, std::move(*data));
            } else if constexpr (std::is_same_v<T, custom::SetBinary>) {
                auto bytes = binaryOf(action.text);
                if (!bytes) return refuse(bytes.error());
                out.set(row, op.root, op.key, op.name, RegType::Binary,
                        {bytes->begin(), bytes->end()});
            } else {
                out.remove(row, op.root, op.key, op.name);
            }
        },
        op.action);
}

Result<Plan> planCustom(const std::filesystem::path& dir, const std::vector<bool>& flags, int nrow,
                        const std::vector<std::string>* customRows) {
    Plan result;
    result.category = kCustomCategory;
    const std::size_t rows = nrow > 1 ? static_cast<std::size_t>(nrow - 1) : 0;
    custom::Store store(dir / custom::kEntryFileName);
    if (!store.exists())
        return fail("系统文件丢失,请重新安装!\n找不到自定项目数据库 " +
                    std::string(custom::kEntryFileName) +
                    "，“自定功能”设置没有执行，注册表和设置文件都未改动。");
    auto entries = store.walk(rows);
    if (!entries)
        return fail("无法读取自定项目数据库 " + std::string(custom::kEntryFileName) + "：" +
                    entries.error().message +
                    "\n“自定功能”设置没有执行，注册表和设置文件都未改动。");
    if (customRows) {
        auto count = store.count();
        if (!count)
            return fail("无法读取自定项目数据库 " + std::string(custom::kEntryFileName) + "：" +
                        count.error().message +
                        "\n“自定功能”设置没有执行，注册表和设置文件都未改动。");
        bool same = *count == customRows->size() && entries->size() == customRows->size();
        for (std::size_t i = 0; same && i < entries->size(); ++i)
            same = (*entries)[i].sm == (*customRows)[i];
        if (!same)
            return fail(
                "自定项目在清单显示之后已被增加、删除或改名，清单上的各行与数据库中的项目不再对应。"
                "\n请重新打开“自定功能”类别，核对选择后再按“确定生效”。"
                "\n“自定功能”设置没有执行，注册表和设置文件都未改动。");
    }

    Builder out(result);
    for (std::size_t row = 1; row <= rows; ++row) {
        if (!chosen(flags, row)) continue;
        if (row > entries->size()) {
            out.notDone(rowLabel(row, "") + "：该项已从数据库中删除，未予设置。");
            continue;
        }
        const custom::Entry& entry = (*entries)[row - 1];
        auto meaning = custom::meaningOf(entry);
        if (auto* op = std::get_if<custom::Operation>(&meaning)) {
            result.labels[row] = rowLabel(row, entry.sm);
            planOperation(out, row, result.labels[row], *op);
        } else if (auto* unusable = std::get_if<custom::Unusable>(&meaning)) {
            out.notDone(rowLabel(row, "") + "：" + unusable->reason);
        }
    }
    result.selection = settings::buildSelection(flags, rows);
    return result;
}

}  // namespace

Result<Plan> plan(const std::filesystem::path& dir, int category, const std::vector<bool>& flags,
                  int nrow, const std::vector<std::string>* customRows) {
    if (category == kCustomCategory) return planCustom(dir, flags, nrow, customRows);
    if (category < 0 || category > kCustomCategory)
        return fail("没有选定要设置的类别，未作任何修改。");
    Plan result;
    result.category = category;
    const Category& table = builtinCategory(category);
    SideData side(dir);
    Builder out(result);
    for (std::size_t row = 1; row <= table.items.size(); ++row) {
        const Item& item = table.items[row - 1];
        for (const Effect& effect : chosen(flags, row) ? item.chosen : item.notChosen)
            planEffect(out, row, effect, side);
    }
    result.selection = settings::buildSelection(flags, table.items.size());
    return result;
}

Status perform(platform::Registry& registry, const RegWrite& write) {
    if (write.op == RegWrite::Op::DeleteKey)
        return deletekey(registry, write.root, write.key, write.name);
    return setvalue(registry, write.root, write.key, write.name, write.type, write.data);
}

}  // namespace tessmar::engine
