#pragma once
// The built-in policy catalogue: four categories of Windows restrictions, each item with the
// registry effects of its chosen and its not-chosen state, in the order they are written.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "settings/selection.h"

namespace tessmar::engine {

inline constexpr int kBuiltinCategories = 4;
inline constexpr int kCustomCategory = 4;

enum class EffectKind { Dword, Binary, String };

// Where an effect's datum comes from: the number in the table, or one of the two side files.
enum class Datum { Fixed, DriveMask, NoticeTitle, NoticeText };

struct Effect {
    EffectKind kind;
    platform::RegRoot root;
    std::string_view key;
    std::string_view name;
    std::uint32_t value = 0;  // Dword and Binary with Datum::Fixed
    Datum datum = Datum::Fixed;
};

struct Item {
    std::string_view caption;
    std::vector<Effect> chosen;
    std::vector<Effect> notChosen;
};

struct Category {
    int index;
    std::string_view title;  // heading of grid column 1, leading blanks included
    int settingsField;       // the vorn.ini field that holds its selection string
    std::vector<Item> items;
};

// Categories 0 to 3.
const Category& builtinCategory(int index);

// The side window that prepares an item's data: the drive window for the item that writes the
// drive mask, the notice editor for the one that writes the notice.
enum class Detail { None, Drives, Notice };
Detail detailOf(int category, int row);

// The vorn.ini field of any category 0 to 4; 0 for any other.
int settingsFieldOf(int category);
// The category's name as its button and messages give it: "IE属性", "系统桌面", ...
std::string_view categoryName(int category);
// "系统已成功地完成了“IE属性”设置!" and so on, for categories 0 to 4.
std::string completionMessage(int category);

// The grid content of a built-in category, marked from its stored selection string.
settings::Checklist fillBuiltin(int index, const settings::Field& stored);

}  // namespace tessmar::engine
