// The Group Policy export: the PReg writer byte for byte, the reduction to the writes that stand,
// the .reg text, and every exported file read back against what the apply pass itself writes.
#include <SQLiteCpp/SQLiteCpp.h>
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "common/scripted_messages.h"
#include "custom/store.h"
#include "engine/apply.h"
#include "engine/catalogue.h"
#include "gpo/export.h"
#include "gpo/regfile.h"
#include "platform/codepage.h"
#include "platform/entrydb.h"
#include "settings/selection.h"
#include "settings/sidefiles.h"
#include "support/tempdir.h"

namespace tessmar::gpo {
namespace {
using engine::RegWrite;
using platform::RegRoot;
using platform::RegType;
using Bytes = std::vector<std::uint8_t>;
constexpr auto HKCU = RegRoot::CurrentUser;
constexpr auto HKLM = RegRoot::LocalMachine;

std::string bytesOf(std::initializer_list<int> b) {
    std::string s;
    for (int c : b) s.push_back(static_cast<char>(c));
    return s;
}
// UTF-16LE of ASCII text, with the terminating zero.
std::string w(std::string_view ascii) {
    std::string s;
    for (char c : ascii) s += std::string{c, '\0'};
    return s + std::string(2, '\0');
}
std::string u32(std::uint32_t v) {
    return bytesOf({int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF), int(v >> 24)});
}
const std::string kHeader = "PReg" + u32(1);
const std::string kOpen = bytesOf({'[', 0}), kSemi = bytesOf({';', 0}), kClose = bytesOf({']', 0});

RegWrite set(RegRoot root, std::string key, std::string name, RegType type, Bytes data) {
    RegWrite r;
    r.root = root;
    r.key = std::move(key);
    r.name = std::move(name);
    r.type = type;
    r.data = std::move(data);
    return r;
}
RegWrite dword(std::string key, std::string name, std::uint8_t v, RegRoot root = HKCU) {
    return set(root, std::move(key), std::move(name), RegType::Dword, {v, 0, 0, 0});
}
RegWrite removal(std::string key, std::string name, RegRoot root = HKCU) {
    RegWrite r;
    r.op = RegWrite::Op::DeleteKey;
    r.root = root;
    r.key = std::move(key);
    r.name = std::move(name);
    return r;
}

// --- The PReg writer, byte for byte ------------------------------------------------------------

TEST(PolWriter, SmallCasesByteForByte) {
    auto one = [](const RegWrite& write) {
        auto record = recordOf(write);
        EXPECT_TRUE(record.has_value());
        auto bytes = encodePol({*record});
        EXPECT_TRUE(bytes.has_value());
        return bytes->substr(8);
    };
    EXPECT_EQ(encodePol({}).value(), kHeader);
    EXPECT_EQ(one(dword("K", "v", 1)), kOpen + w("K") + kSemi + w("v") + kSemi + u32(4) + kSemi +
                                           u32(4) + kSemi + bytesOf({1, 0, 0, 0}) + kClose);
    // "中文" in code page 936 (D6 D0 CE C4) travels as U+4E2D U+6587 and the zero.
    EXPECT_EQ(one(set(HKCU, "K", "s", RegType::Sz, {0xD6, 0xD0, 0xCE, 0xC4, 0})),
              kOpen + w("K") + kSemi + w("s") + kSemi + u32(1) + kSemi + u32(6) + kSemi +
                  bytesOf({0x2D, 0x4E, 0x87, 0x65, 0, 0}) + kClose);
    EXPECT_EQ(one(set(HKCU, "K", "b", RegType::Binary, {0x61, 0x62, 0, 0xFF})),
              kOpen + w("K") + kSemi + w("b") + kSemi + u32(3) + kSemi + u32(4) + kSemi +
                  bytesOf({0x61, 0x62, 0, 0xFF}) + kClose);
    EXPECT_EQ(one(set(HKCU, "K", "e", RegType::Sz, {0})), kOpen + w("K") + kSemi + w("e") + kSemi +
                                                              u32(1) + kSemi + u32(2) + kSemi +
                                                              bytesOf({0, 0}) + kClose);
    EXPECT_EQ(one(removal("Software\\P", "Sub")), kOpen + w("Software\\P") + kSemi +
                                                      w("**DeleteKeys") + kSemi + u32(1) + kSemi +
                                                      u32(8) + kSemi + w("Sub") + kClose);
}

TEST(PolWriter, TextsBeyondTheBasicPlaneAndBadUtf8) {
    EXPECT_EQ(utf16le("\xF0\x9F\x98\x80").value(), bytesOf({0x3D, 0xD8, 0x00, 0xDE}));
    EXPECT_FALSE(utf16le("\xC0\xAF").has_value());      // an overlong "/"
    EXPECT_FALSE(utf16le("\xE4\xB8").has_value());      // cut short
    EXPECT_FALSE(utf16le("\xED\xA0\x80").has_value());  // a lone surrogate
}

TEST(PolWriter, WhatAPolicyFileCannotCarryIsLeftOutWithItsReason) {
    PolHalf half = policyHalf(
        {dword("K", "", 1), dword("", "v", 1), dword("K", "v", 1), dword("K", "m", 1, HKLM)}, HKCU);
    ASSERT_EQ(half.records.size(), 1u);
    EXPECT_EQ(half.records[0].name, "v");
    ASSERT_EQ(half.leftOut.size(), 2u);
    EXPECT_NE(half.leftOut[0].find("默认值"), std::string::npos);
    EXPECT_NE(half.leftOut[1].find("根键"), std::string::npos);
}

TEST(PolReader, RoundTripsAndRefusesDamage) {
    std::vector<PolRecord> records{{"A\\B", "x", 4, {1, 0, 0, 0}},
                                   {"键", "名", 1, {0x2D, 0x4E, 0, 0}}};
    auto bytes = encodePol(records);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(decodePol(*bytes).value(), records);
    EXPECT_FALSE(decodePol(bytes->substr(0, bytes->size() - 1)).has_value());
    EXPECT_FALSE(decodePol("PReg" + u32(2)).has_value());
    EXPECT_FALSE(decodePol("Preg" + u32(1)).has_value());
    // A size field larger than what follows.
    std::string big = *bytes;
    big[8 + 2 + 8 + 2 + 4 + 2 + 4 + 2] = '\x7F';
    EXPECT_FALSE(decodePol(big).has_value());
    // A key of one lone high surrogate: a file the writer could never write back.
    const std::string lone("PReg\x01\0\0\0[\0\x53\xD8\0\0;\0\0\0;\0\x03\0\0\0;\0\0\0\0\0;\0]\0",
                           34);
    EXPECT_FALSE(decodePol(lone).has_value());
}

// --- The writes that stand ----------------------------------------------------------------------

TEST(FinalEffects, TheLaterWriteStandsWhateverTheLetterCase) {
    Effects e = finalEffects({dword("Software\\X\\System", "nodispcpl", 1), dword("K", "other", 1),
                              dword("software\\x\\system", "NoDispCpl", 0)});
    ASSERT_EQ(e.writes.size(), 2u);
    EXPECT_EQ(e.writes[0].name, "other");
    EXPECT_EQ(e.writes[1].name, "NoDispCpl");
    EXPECT_EQ(e.writes[1].data, (Bytes{0, 0, 0, 0}));
    // Other roots are other values; the registry's case goes beyond ASCII.
    EXPECT_EQ(finalEffects({dword("K", "v", 1), dword("K", "v", 0, HKLM)}).writes.size(), 2u);
    EXPECT_EQ(finalEffects({dword("键\\Σ", "ω", 1), dword("键\\σ", "Ω", 0)}).writes.size(), 1u);
}

TEST(FinalEffects, ADeleteDropsTheWritesIntoItsSubkeyButNotLaterOnes) {
    Effects e = finalEffects({dword("P\\Sub", "gone", 1), dword("P", "stays", 1),
                              removal("p", "SUB"), dword("P\\Sub", "after", 1)});
    ASSERT_EQ(e.writes.size(), 3u);
    EXPECT_EQ(e.writes[0].name, "stays");
    EXPECT_EQ(e.writes[1].op, RegWrite::Op::DeleteKey);
    EXPECT_EQ(e.writes[2].name, "after");
    EXPECT_TRUE(e.notes.empty());
}

TEST(FinalEffects, ADeleteOurOwnWritesMakeImpossibleIsNoted) {
    // The write made P\Sub\Deeper, so RegDeleteKey cannot remove P\Sub: the value stays too.
    Effects e =
        finalEffects({dword("P\\Sub\\Deeper", "v", 1), removal("P", "Sub"), removal("Q", "")});
    ASSERT_EQ(e.writes.size(), 1u);
    EXPECT_EQ(e.writes[0].name, "v");
    ASSERT_EQ(e.notes.size(), 2u);
    EXPECT_NE(e.notes[0].find("还有子项"), std::string::npos);
    EXPECT_NE(e.notes[1].find("没有给出"), std::string::npos);
}

// --- The .reg text ------------------------------------------------------------------------------

TEST(RegFile, Regedit4InCodePage936WithCrLf) {
    auto text = regFileBytes({dword("Software\\A", "v", 1),
                              set(HKCU, "Software\\A", "s", RegType::Sz, {'a', '"', '\\', 0}),
                              set(HKLM, "键", "", RegType::Sz, {0xD6, 0xD0, 0}),
                              set(HKLM, "键", "n", RegType::Sz, {'a', '\r', '\n', 'b', 0}),
                              set(HKLM, "键", "c", RegType::Sz, {0xD6, 0}),
                              set(HKCU, "B", "b", RegType::Binary, {0x0C, 0, 0, 0}),
                              removal("Software\\P", "Sub")});
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(
        *text,
        "REGEDIT4\r\n"
        "\r\n[HKEY_CURRENT_USER\\Software\\A]\r\n\"v\"=dword:00000001\r\n"
        "\"s\"=\"a\\\"\\\\\"\r\n"
        "\r\n[HKEY_LOCAL_MACHINE\\\xBC\xFC]\r\n@=\"\xD6\xD0\"\r\n"
        "\"n\"=hex(1):61,0d,0a,62,00\r\n\"c\"=hex(1):d6,00\r\n"
        "\r\n[HKEY_CURRENT_USER\\B]\r\n\"b\"=hex:0c,00,00,00\r\n"
        "\r\n[HKEY_CURRENT_USER\\Software\\P]\r\n\r\n[-HKEY_CURRENT_USER\\Software\\P\\Sub]\r\n"
        "\r\n");
}

TEST(RegFile, ADoubleByteCharacterEndingInABackslashByteIsNotEscaped) {
    // 乗 is 81 5C in code page 936: its trail byte is a backslash.
    auto text = regFileBytes({set(HKCU, "K", "v", RegType::Sz, {0x81, 0x5C, 0})});
    ASSERT_TRUE(text.has_value());
    EXPECT_NE(text->find("\"v\"=\"\x81\x5C\"\r\n"), std::string::npos);
}

// --- Every exported file read back against the apply pass ---------------------------------------

// The test's own reading of a Registry.pol, independent of the exporter's.
struct ReadRecord {
    std::u16string key, name;
    std::uint32_t type;
    std::string data;
};
std::vector<ReadRecord> readPol(const std::string& b) {
    std::vector<ReadRecord> out;
    EXPECT_EQ(b.substr(0, 8), kHeader);
    std::size_t pos = 8;
    auto ch = [&] {
        char16_t c = static_cast<unsigned char>(b.at(pos)) |
                     (static_cast<unsigned char>(b.at(pos + 1)) << 8);
        pos += 2;
        return c;
    };
    auto text = [&] {
        std::u16string s;
        for (char16_t c; (c = ch()) != 0;) s.push_back(c);
        return s;
    };
    auto num = [&] {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= std::uint32_t(static_cast<unsigned char>(b.at(pos + i))) << (8 * i);
        pos += 4;
        return v;
    };
    while (pos < b.size()) {
        ReadRecord r;
        EXPECT_EQ(ch(), u'[');
        r.key = text();
        EXPECT_EQ(ch(), u';');
        r.name = text();
        EXPECT_EQ(ch(), u';');
        r.type = num();
        EXPECT_EQ(ch(), u';');
        std::uint32_t size = num();
        EXPECT_EQ(ch(), u';');
        r.data = b.substr(pos, size);
        pos += size;
        EXPECT_EQ(ch(), u']');
        out.push_back(std::move(r));
    }
    return out;
}

// UTF-16 (BMP, as these tests use) to code page 936, as the registry gets it.
std::string cp936(const std::u16string& s) {
    std::string utf8;
    for (char16_t c : s) {
        if (c < 0x80) {
            utf8.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            utf8.push_back(static_cast<char>(0xC0 | (c >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            utf8.push_back(static_cast<char>(0xE0 | (c >> 12)));
            utf8.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    auto bytes = platform::toCp936(utf8);
    EXPECT_TRUE(bytes.has_value()) << utf8;
    return bytes.value_or("");
}
std::u16string u16(const std::string& data) {
    std::u16string s;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2)
        s.push_back(static_cast<char16_t>(static_cast<unsigned char>(data[i]) |
                                          (static_cast<unsigned char>(data[i + 1]) << 8)));
    while (!s.empty() && s.back() == 0) s.pop_back();
    return s;
}

// Performs a policy file as Group Policy does into a registry.
void performPol(const std::string& file, RegRoot root, platform::Registry& reg) {
    for (const ReadRecord& r : readPol(file)) {
        auto key = reg.createKey(root, cp936(r.key));
        ASSERT_TRUE(key.has_value());
        if (r.name == u"**DeleteKeys") {
            EXPECT_EQ(r.type, 1u);
            std::u16string list = u16(r.data);
            for (std::size_t pos = 0; pos <= list.size();) {
                std::size_t end = std::min(list.find(u';', pos), list.size());
                if (end > pos) {
                    EXPECT_TRUE(reg.deleteKey(*key, cp936(list.substr(pos, end - pos))));
                }
                pos = end + 1;
            }
        } else {
            Bytes data(r.data.begin(), r.data.end());
            if (r.type == 1) {
                std::string text = cp936(u16(r.data));
                data.assign(text.begin(), text.end());
                data.push_back(0);
            }
            EXPECT_TRUE(reg.setValue(*key, cp936(r.name), static_cast<RegType>(r.type), data));
        }
        reg.closeKey(*key);
    }
}

// The test's own reading of the .reg file, performed into a registry: sections, removals, and the
// value forms the exporter writes.
void performReg(const std::string& file, platform::Registry& reg) {
    std::vector<std::string> lines;
    for (std::size_t pos = 0; pos < file.size();) {
        std::size_t end = file.find("\r\n", pos);
        ASSERT_NE(end, std::string::npos) << "every line ends in CR LF";
        std::string line = file.substr(pos, end - pos);
        pos = end + 2;
        while (!line.empty() && line.back() == '\\' && line.find("=hex") != std::string::npos) {
            end = file.find("\r\n", pos);
            line.pop_back();
            line += file.substr(pos + 2, end - pos - 2);
            pos = end + 2;
        }
        lines.push_back(line);
    }
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "REGEDIT4");
    std::optional<platform::Registry::Key> key;
    auto rootOf = [](std::string& path) {
        std::size_t slash = path.find('\\');
        auto root = platform::rootFromName(path.substr(0, slash));
        EXPECT_TRUE(root.has_value()) << path;
        path = slash == std::string::npos ? "" : path.substr(slash + 1);
        return root.value_or(HKCU);
    };
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::string& l = lines[i];
        if (l.empty()) continue;
        if (l.rfind("[-", 0) == 0) {
            std::string path = l.substr(2, l.size() - 3);
            RegRoot root = rootOf(path);
            std::size_t slash = path.rfind('\\');
            auto parent = reg.createKey(root, path.substr(0, slash));
            ASSERT_TRUE(parent.has_value());
            EXPECT_TRUE(reg.deleteKey(*parent, path.substr(slash + 1)));
            reg.closeKey(*parent);
            key.reset();
            continue;
        }
        if (l[0] == '[') {
            std::string path = l.substr(1, l.size() - 2);
            RegRoot root = rootOf(path);
            auto k = reg.createKey(root, path);
            ASSERT_TRUE(k.has_value());
            key = *k;
            continue;
        }
        ASSERT_TRUE(key.has_value()) << l;
        std::size_t eq;
        std::string name;
        if (l[0] == '@') {
            eq = 1;
        } else {
            std::size_t p = 1;
            for (; l[p] != '"'; ++p) {
                if (static_cast<unsigned char>(l[p]) >= 0x81)
                    name.push_back(l[p++]);
                else if (l[p] == '\\')
                    ++p;
                name.push_back(l[p]);
            }
            eq = p + 1;
        }
        ASSERT_EQ(l[eq], '=') << l;
        std::string v = l.substr(eq + 1);
        RegType type;
        Bytes data;
        if (v.rfind("dword:", 0) == 0) {
            type = RegType::Dword;
            std::uint32_t n = std::stoul(v.substr(6), nullptr, 16);
            data = {std::uint8_t(n), std::uint8_t(n >> 8), std::uint8_t(n >> 16),
                    std::uint8_t(n >> 24)};
        } else if (v[0] == '"') {
            type = RegType::Sz;
            for (std::size_t p = 1; p + 1 < v.size(); ++p) {
                if (static_cast<unsigned char>(v[p]) >= 0x81)
                    data.push_back(v[p++]);
                else if (v[p] == '\\')
                    ++p;
                data.push_back(static_cast<std::uint8_t>(v[p]));
            }
            data.push_back(0);
        } else {
            std::size_t colon = v.find(':');
            type = v.rfind("hex:", 0) == 0
                       ? RegType::Binary
                       : static_cast<RegType>(std::stoul(v.substr(4), nullptr, 16));
            for (std::size_t p = colon + 1; p < v.size(); p += 3)
                data.push_back(static_cast<std::uint8_t>(std::stoul(v.substr(p, 2), nullptr, 16)));
        }
        EXPECT_TRUE(reg.setValue(*key, name, type, data));
    }
}

custom::Entry entry(std::string sm, std::string root, std::string key, std::string name,
                    std::string ka, std::optional<std::int16_t> reg) {
    return {std::move(sm), std::move(root), std::move(key), std::move(name), std::move(ka), reg};
}

class ExportRoundTrip : public ::testing::Test {
  protected:
    ExportRoundTrip() {
        dir.write("drives.ini", "\"001100000000000\",\" 12\"\r\n");
        dir.write("logo.ini", "\"  注意  \",\"第一行\r\n第二行 \"\r\n");
        SQLite::Database db((dir / custom::kEntryFileName).string(),
                            SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        db.exec(platform::EntryDatabase::schema());
    }

    void entries(const std::vector<custom::Entry>& list) {
        custom::Store store(dir / custom::kEntryFileName);
        for (const auto& e : list) ASSERT_TRUE(store.append(e).has_value());
    }

    // A registry with subkeys for the deletes to find, the same one for every way in.
    std::unique_ptr<platform::Registry> seeded(const std::string& file) {
        auto reg = platform::makeFileRegistry(dir / file);
        for (const char* path : {"Software\\T\\Old", "Software\\T\\Kept\\Child"}) {
            auto k = reg->createKey(HKCU, path);
            EXPECT_TRUE(k.has_value());
            EXPECT_TRUE(reg->setValue(*k, "v", RegType::Dword, {7, 0, 0, 0}));
            reg->closeKey(*k);
        }
        return reg;
    }

    // Applies all five categories with these selection strings through the apply pass, exports
    // the same choices, and checks that each way in leaves every touched value and key alike.
    void check(const std::array<std::string, 5>& selections) {
        constexpr int kFields[] = {1, 4, 5, 6, 7};
        settings::Record record(7);
        record[1] = "C:\\WINDOWS";
        for (int c = 0; c < 5; ++c) record[kFields[c] - 1] = selections[c];
        ASSERT_TRUE(settings::writeRecordFile(dir / "vorn.ini", record));

        auto applied = seeded("applied.reg");
        const std::size_t customRows = custom::Store(dir / custom::kEntryFileName).count().value();
        std::vector<RegWrite> touched;
        for (int c = 0; c < 5; ++c) {
            std::size_t rows = c == 4 ? customRows : engine::builtinCategory(c).items.size();
            auto flags = settings::parseSelection(selections[c], rows);
            auto outcome = engine::apply({dir.path(), *applied, messages},
                                         {c, flags, static_cast<int>(rows + 1)});
            EXPECT_TRUE(outcome.settingsWritten);
            auto planned = engine::plan(dir.path(), c, flags, static_cast<int>(rows + 1));
            ASSERT_TRUE(planned.has_value());
            touched.insert(touched.end(), planned->writes.begin(), planned->writes.end());
        }

        auto report = exportTo(dir.path(), dir / "out");
        ASSERT_TRUE(report.has_value()) << report.error().message;
        auto fromPol = seeded("pol.reg");
        performPol(dir.read("out/User/Registry.pol"), HKCU, *fromPol);
        performPol(dir.read("out/Machine/Registry.pol"), HKLM, *fromPol);
        auto fromReg = seeded("import.reg");
        performReg(dir.read("out/tessmar.reg"), *fromReg);

        for (const RegWrite& t : touched) {
            auto key = platform::toCp936(t.key).value(), name = platform::toCp936(t.name).value();
            bool policyRoot = t.root == HKCU || t.root == HKLM;
            if (t.op == RegWrite::Op::DeleteKey) {
                std::string gone = key + "\\" + name;
                EXPECT_EQ(fromReg->keyExists(t.root, gone), applied->keyExists(t.root, gone))
                    << gone;
                if (policyRoot) {
                    EXPECT_EQ(fromPol->keyExists(t.root, gone), applied->keyExists(t.root, gone))
                        << gone;
                }
                continue;
            }
            auto want = applied->queryValue(t.root, key, name);
            EXPECT_EQ(fromReg->queryValue(t.root, key, name), want) << t.key << " " << t.name;
            if (policyRoot) {
                EXPECT_EQ(fromPol->queryValue(t.root, key, name), want) << t.key << " " << t.name;
            } else {
                EXPECT_EQ(fromPol->queryValue(t.root, key, name), std::nullopt);
            }
        }
        lastReport = *report;
    }

    test::TempDir dir;
    test::ScriptedMessages messages;
    ExportReport lastReport;
};

TEST_F(ExportRoundTrip, EveryBuiltInCategoryAllNoneAndMixed) {
    check({"1111111", std::string(20, '1'), "11111", std::string(11, '1'), ""});
    check({"0000000", std::string(20, '0'), "00000", std::string(11, '0'), ""});
    // Rows 7 and 14 chosen, 12 and 16 not: the later rows' clearing writes stand.
    check({"1010000", "01100010000001000101", "10101", "10010000011", ""});
    check({"", "", "", "", ""});
}

TEST_F(ExportRoundTrip, CustomEntriesOfEveryKind) {
    entries({entry("整数", "HKEY_CURRENT_USER ", "Software\\T", "d", "-2", 1),
             entry("文字", "HKEY_LOCAL_MACHINE", "Software\\T", "文字", "中文\\\"引号\"", 2),
             entry("空", "HKEY_CURRENT_USER", "Software\\T", "e", "", 2),
             entry("二进制", "HKEY_CURRENT_USER", "Software\\T", "b", "ab", 3),
             entry("删除", "HKEY_CURRENT_USER", "Software\\T", "Old", "删除子项(U)", 4),
             entry("没有的", "HKEY_CURRENT_USER", "Software\\T", "Never", "删除子项(U)", 4),
             entry("类", "HKEY_CLASSES_ROOT", "Software\\T", "c", "1", 1),
             entry("用户", "HKEY_USERS", ".DEFAULT\\Software\\T", "u", "1", 1),
             entry("无类型", "HKEY_CURRENT_USER", "Software\\T", "none", "1", std::nullopt),
             entry("坏根", "HKEY_NOWHERE", "Software\\T", "x", "1", 1),
             entry("未选", "HKEY_CURRENT_USER", "Software\\T", "off", "1", 1),
             entry("覆盖", "HKEY_CURRENT_USER", "software\\t", "D", "5", 1)});
    check({"", "", "", "",
           "1111111111"
           "0"
           "1"});
    // The classes and users entries are named as left out; the bad root as not done.
    std::string all;
    for (const auto& l : reportLines(lastReport)) all += l + "\n";
    EXPECT_NE(all.find("HKEY_CLASSES_ROOT\\Software\\T“c”"), std::string::npos) << all;
    EXPECT_NE(all.find("HKEY_USERS\\.DEFAULT\\Software\\T“u”"), std::string::npos) << all;
    EXPECT_NE(all.find("第 10 项"), std::string::npos) << all;
    EXPECT_EQ(lastReport.files.size(), 3u);
}

TEST_F(ExportRoundTrip, ADeleteOfASubkeyWithSubkeysIsTheOneDifferenceOfTheRegFile) {
    // The apply pass leaves Kept (it has a subkey); Group Policy's **DeleteKeys and the .reg
    // import would take it with everything below: both files still say so, and the report warns.
    entries({entry("删除", "HKEY_CURRENT_USER", "Software\\T", "Kept", "删除子项(U)", 4)});
    settings::Record record(7);
    record[1] = "C:\\WINDOWS";
    record[6] = "1";
    ASSERT_TRUE(settings::writeRecordFile(dir / "vorn.ini", record));
    auto report = exportTo(dir.path(), dir / "out");
    ASSERT_TRUE(report.has_value());
    EXPECT_NE(dir.read("out/tessmar.reg").find("[-HKEY_CURRENT_USER\\Software\\T\\Kept]"),
              std::string::npos);
    ASSERT_EQ(report->notes.size(), 1u);
    EXPECT_NE(report->notes[0].find("HKEY_CURRENT_USER\\Software\\T\\Kept"), std::string::npos);
}

}  // namespace
}  // namespace tessmar::gpo
