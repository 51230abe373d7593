// The help page lists every built-in item with the registry values it writes. These tests hold the
// page to the catalogue, so that a caption, key or value that drifts apart shows up here.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/catalogue.h"
#include "platform/registry.h"

namespace {

using tessmar::engine::builtinCategory;
using tessmar::engine::Datum;
using tessmar::engine::Effect;
using tessmar::engine::EffectKind;
using tessmar::engine::Item;

std::string readHelpPage() {
    auto path =
        std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "help/help.htm";
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What a reader sees of a fragment: tags dropped, the page's few entities decoded, every run of
// blanks and line breaks shown as one blank, none at either end.
std::string textOf(std::string_view html) {
    std::string raw;
    for (std::size_t i = 0; i < html.size();) {
        if (html[i] == '<') {
            auto end = html.find('>', i);
            i = end == std::string_view::npos ? html.size() : end + 1;
            continue;
        }
        if (html[i] == '&') {
            static const std::pair<std::string_view, std::string_view> entities[] = {
                {"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&nbsp;", " "}, {"&quot;", "\""}};
            bool decoded = false;
            for (auto [name, text] : entities) {
                if (html.substr(i, name.size()) == name) {
                    raw += text;
                    i += name.size();
                    decoded = true;
                    break;
                }
            }
            if (decoded) continue;
        }
        raw += html[i++];
    }
    return raw;
}

std::string foldBlanks(std::string_view text) {
    std::string out;
    bool blank = false;
    for (char c : text) {
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
            blank = true;
            continue;
        }
        if (blank && !out.empty()) out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

std::string visible(std::string_view html) {
    return foldBlanks(textOf(html));
}

// The inner HTML of each <tag ...>...</tag> in turn (the page never nests these).
std::vector<std::string_view> elements(std::string_view html, std::string_view tag) {
    std::vector<std::string_view> found;
    std::string open = "<" + std::string(tag);
    std::string close = "</" + std::string(tag) + ">";
    std::size_t at = 0;
    while ((at = html.find(open, at)) != std::string_view::npos) {
        char next = at + open.size() < html.size() ? html[at + open.size()] : '\0';
        if (next != '>' && next != ' ') {
            at += open.size();
            continue;
        }
        auto start = html.find('>', at) + 1;
        auto end = html.find(close, start);
        if (end == std::string_view::npos) break;
        found.push_back(html.substr(start, end - start));
        at = end + close.size();
    }
    return found;
}

// The inner HTML of the first element whose class attribute is exactly cls.
std::optional<std::string_view> byClass(std::string_view html, std::string_view tag,
                                        std::string_view cls) {
    std::string open = "<" + std::string(tag) + " class=\"" + std::string(cls) + "\"";
    auto at = html.find(open);
    if (at == std::string_view::npos) return std::nullopt;
    auto start = html.find('>', at) + 1;
    auto end = html.find("</" + std::string(tag) + ">", start);
    if (end == std::string_view::npos) return std::nullopt;
    return html.substr(start, end - start);
}

std::optional<std::string_view> itemTable(std::string_view page, std::string_view id) {
    std::string open = "<table class=\"items\" id=\"" + std::string(id) + "\">";
    auto at = page.find(open);
    if (at == std::string_view::npos) return std::nullopt;
    auto end = page.find("</table>", at);
    return page.substr(at, end - at);
}

std::string typeName(EffectKind kind) {
    switch (kind) {
        case EffectKind::Dword:
            return "REG_DWORD";
        case EffectKind::Binary:
            return "REG_BINARY";
        case EffectKind::String:
            return "REG_SZ";
    }
    return "";
}

// How the page states the datum: the number, the four bytes least significant first, the empty
// text, or the side file it comes from.
struct Expected {
    std::string text;
    bool exact;
};

Expected datumText(const Effect& effect) {
    switch (effect.datum) {
        case Datum::DriveMask:
            return {"drives.ini", false};
        case Datum::NoticeTitle:
            return {"logo.ini 中的标题", false};
        case Datum::NoticeText:
            return {"logo.ini 中的内容", false};
        case Datum::Fixed:
            break;
    }
    if (effect.kind == EffectKind::Dword) return {std::to_string(effect.value), true};
    if (effect.kind == EffectKind::String) return {"空字符串", true};
    std::string bytes;
    for (int i = 0; i < 4; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", (effect.value >> (8 * i)) & 0xFFu);
        if (i > 0) bytes += ' ';
        bytes += hex;
    }
    return {bytes, true};
}

void expectDatum(const std::string& cell, const Effect& effect, std::string_view column) {
    auto expected = datumText(effect);
    if (expected.exact)
        EXPECT_EQ(cell, expected.text) << column << " of " << effect.name;
    else
        EXPECT_NE(cell.find(expected.text), std::string::npos)
            << column << " of " << effect.name << " reads \"" << cell << "\"";
}

std::string keyText(const Effect& effect) {
    return std::string(tessmar::platform::rootName(effect.root)) + "\\" + std::string(effect.key);
}

struct Row {
    std::string key, name, type, on, off;
};

std::vector<Row> rowsOf(std::string_view block) {
    std::vector<Row> rows;
    for (auto tr : elements(block, "tr")) {
        auto cell = [&](std::string_view cls) {
            auto html = byClass(tr, "td", cls);
            return html ? visible(*html) : std::string("(missing)");
        };
        rows.push_back({cell("key"), cell("name"), cell("type"), cell("on"), cell("off")});
    }
    return rows;
}

const Row* findRow(const std::vector<Row>& rows, const Effect& effect) {
    for (const auto& row : rows)
        if (row.key == keyText(effect) && row.name == effect.name) return &row;
    return nullptr;
}

// Every value an item writes appears once, whichever state writes it first.
std::set<std::pair<std::string, std::string>> valuesOf(const Item& item) {
    std::set<std::pair<std::string, std::string>> values;
    for (const auto* list : {&item.chosen, &item.notChosen})
        for (const auto& effect : *list) values.emplace(keyText(effect), std::string(effect.name));
    return values;
}

constexpr std::string_view kTableIds[] = {"table-ie", "table-desk", "table-net", "table-file"};

TEST(HelpPage, IsDeclaredUtf8) {
    std::string page = readHelpPage();
    ASSERT_FALSE(page.empty()) << "help/help.htm not found";
    EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
}

TEST(HelpPage, ListsEveryBuiltinItemInOrderWithTheValuesItWrites) {
    std::string page = readHelpPage();
    ASSERT_FALSE(page.empty()) << "help/help.htm not found";
    for (int c = 0; c < tessmar::engine::kBuiltinCategories; ++c) {
        SCOPED_TRACE("category " + std::to_string(c));
        const auto& category = builtinCategory(c);
        auto table = itemTable(page, kTableIds[c]);
        ASSERT_TRUE(table.has_value()) << kTableIds[c];
        auto blocks = elements(*table, "tbody");
        ASSERT_EQ(blocks.size(), category.items.size());

        for (std::size_t i = 0; i < blocks.size(); ++i) {
            const Item& item = category.items[i];
            SCOPED_TRACE("row " + std::to_string(i + 1));
            auto caption = byClass(blocks[i], "span", "caption");
            ASSERT_TRUE(caption.has_value());
            // The page cannot show the run of blanks before the "*"; one blank stands for it.
            EXPECT_EQ(visible(*caption), foldBlanks(item.caption));
            auto number = byClass(blocks[i], "td", "no");
            ASSERT_TRUE(number.has_value());
            EXPECT_EQ(visible(*number), std::to_string(i + 1));

            auto rows = rowsOf(blocks[i]);
            EXPECT_EQ(rows.size(), valuesOf(item).size());
            for (const auto& effect : item.chosen) {
                const Row* row = findRow(rows, effect);
                if (row == nullptr) {
                    ADD_FAILURE() << "no row for " << keyText(effect) << " " << effect.name;
                    continue;
                }
                EXPECT_EQ(row->type, typeName(effect.kind)) << effect.name;
                expectDatum(row->on, effect, "chosen");
            }
            for (const auto& effect : item.notChosen) {
                const Row* row = findRow(rows, effect);
                if (row == nullptr) {
                    ADD_FAILURE() << "no row for " << keyText(effect) << " " << effect.name;
                    continue;
                }
                EXPECT_EQ(row->type, typeName(effect.kind)) << effect.name;
                expectDatum(row->off, effect, "not chosen");
            }
        }
    }
}

// The helpers above decide what the page test accepts, so their reading of HTML is pinned here.
TEST(HelpPageReading, TextOfFragments) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"<td class=\"key\">HKEY_USERS\\<wbr>A\\<wbr>B</td>", "HKEY_USERS\\A\\B"},
        {"a &lt;- b &amp; c", "a <- b & c"},
        {"  two\n   lines  ", "two lines"},
        {"隐藏硬盘驱动器Ｃ：、Ｄ：......              *", "隐藏硬盘驱动器Ｃ：、Ｄ：...... *"},
        {"<b>右击</b>此行", "右击此行"},
    };
    for (auto [html, text] : cases) EXPECT_EQ(visible(html), text) << html;
}

TEST(HelpPageReading, DatumTextOfEachKind) {
    using tessmar::platform::RegRoot;
    Effect dword{EffectKind::Dword, RegRoot::CurrentUser, "K", "v", 1, Datum::Fixed};
    Effect binary{EffectKind::Binary, RegRoot::CurrentUser, "K", "v", 0x4004, Datum::Fixed};
    Effect empty{EffectKind::String, RegRoot::LocalMachine, "K", "v", 0, Datum::Fixed};
    EXPECT_EQ(datumText(dword).text, "1");
    EXPECT_EQ(datumText(binary).text, "04 40 00 00");
    EXPECT_EQ(datumText(empty).text, "空字符串");
    EXPECT_EQ(keyText(empty), "HKEY_LOCAL_MACHINE\\K");
}

}  // namespace
