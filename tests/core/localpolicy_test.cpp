// The PC's local Group Policy: our records merged into what is there, and gpt.ini's version raised
// in the right half so that Windows takes the policy up at its next refresh.
#include <gtest/gtest.h>

#include "gpo/localpolicy.h"
#include "support/tempdir.h"

namespace tessmar::gpo {
namespace {

PolRecord dword(std::string key, std::string name, std::uint8_t v) {
    return {std::move(key), std::move(name), 4, {v, 0, 0, 0}};
}
PolRecord deletes(std::string key, std::string sub) {
    std::vector<std::uint8_t> data;
    for (char c : sub) data.insert(data.end(), {static_cast<std::uint8_t>(c), 0});
    data.insert(data.end(), {0, 0});
    return {std::move(key), kDeleteKeys, 1, data};
}

TEST(MergeRecords, OursReplaceTheSameValueAndComeLast) {
    auto merged = mergeRecords({dword("A", "NoRun", 0), dword("A", "Theirs", 1), deletes("A", "X")},
                               {dword("a", "norun", 1), deletes("A", "Y")});
    ASSERT_EQ(merged.size(), 4u);
    EXPECT_EQ(merged[0].name, "Theirs");
    EXPECT_EQ(merged[1], deletes("A", "X"));  // another subkey's delete stays
    EXPECT_EQ(merged[2], dword("a", "norun", 1));
    EXPECT_EQ(merged[3], deletes("A", "Y"));
}

TEST(GptIni, AFreshFileAndAnExistingOne) {
    EXPECT_EQ(raisedGptIni("", true),
              "[General]\r\ngPCFunctionalityVersion=2\r\ngPCUserExtensionNames=" +
                  std::string(kUserExtensions) + "\r\nVersion=65536\r\n");
    EXPECT_EQ(raisedGptIni("", false),
              "[General]\r\ngPCFunctionalityVersion=2\r\ngPCMachineExtensionNames=" +
                  std::string(kMachineExtensions) + "\r\nVersion=1\r\n");
    // Both halves of 0x00030005: the user half becomes 4, the machine half 6; other extensions
    // and sections stay, ours goes in GUID order.
    const std::string existing =
        "[General]\r\ngPCFunctionalityVersion=2\r\n"
        "gPCUserExtensionNames=[{A2E30F80-D7DE-11D2-BBDE-00C04F86AE3B}{FC715823-C5FB-11D1-9EEF-"
        "00A0C90347FF}]\r\nVersion=196613\r\n[Other]\r\nx=1\r\n";
    EXPECT_EQ(raisedGptIni(existing, true),
              "[General]\r\ngPCFunctionalityVersion=2\r\ngPCUserExtensionNames=" +
                  std::string(kUserExtensions) +
                  "[{A2E30F80-D7DE-11D2-BBDE-00C04F86AE3B}{FC715823-C5FB-11D1-9EEF-00A0C90347FF}]"
                  "\r\nVersion=262149\r\n[Other]\r\nx=1\r\n");
    std::string machine = raisedGptIni(existing, false);
    EXPECT_NE(machine.find("Version=196614\r\n"), std::string::npos) << machine;
    EXPECT_NE(machine.find("gPCMachineExtensionNames=" + std::string(kMachineExtensions) + "\r\n"),
              std::string::npos);
    // Raising twice never lists the extension twice.
    EXPECT_EQ(raisedGptIni(raisedGptIni("", true), true).find(kUserExtensions),
              raisedGptIni(raisedGptIni("", true), true).rfind(kUserExtensions));
}

TEST(GptIni, AFullHalfStartsAgainAtOneWithoutTouchingTheOther) {
    EXPECT_NE(raisedGptIni("[General]\r\nVersion=4294967295\r\n", true).find("Version=131071\r\n"),
              std::string::npos);
    EXPECT_NE(raisedGptIni("[General]\r\nVersion=65535\r\n", false).find("Version=1\r\n"),
              std::string::npos);
}

TEST(LocalPolicy, WritesBothHalvesBelowTheSystemFolderAndKeepsTheirValues) {
    test::TempDir system32;
    const LocalPolicyPaths p = localPolicyPaths(system32.path());
    EXPECT_EQ(p.userPol, system32 / "GroupPolicyUsers/S-1-5-32-545/User/Registry.pol");
    EXPECT_EQ(p.machineGpt, system32 / "GroupPolicy/gpt.ini");
    std::filesystem::create_directories(p.machinePol.parent_path());
    system32.write("GroupPolicy/Machine/Registry.pol",
                   encodePol({dword("M", "theirs", 1)}).value());
    system32.write("GroupPolicy/gpt.ini", "[General]\r\nVersion=65538\r\n");

    Export e;
    e.user.records = {dword("U", "ours", 1)};
    e.machine.records = {dword("M", "ours", 1)};
    auto lines = writeLocalPolicy(system32.path(), e);
    ASSERT_TRUE(lines.has_value()) << lines.error().message;
    EXPECT_EQ(decodePol(system32.read("GroupPolicyUsers/S-1-5-32-545/User/Registry.pol")).value(),
              e.user.records);
    EXPECT_EQ(decodePol(system32.read("GroupPolicy/Machine/Registry.pol")).value(),
              (std::vector<PolRecord>{dword("M", "theirs", 1), dword("M", "ours", 1)}));
    EXPECT_NE(system32.read("GroupPolicyUsers/S-1-5-32-545/gpt.ini").find("Version=65536"),
              std::string::npos);
    EXPECT_NE(system32.read("GroupPolicy/gpt.ini").find("Version=65539"), std::string::npos);
}

TEST(LocalPolicy, ADamagedPolicyFileIsLeftAsItIs) {
    test::TempDir system32;
    std::filesystem::create_directories(system32 / "GroupPolicy/Machine");
    system32.write("GroupPolicy/Machine/Registry.pol", "PReg\x01");
    system32.write("GroupPolicy/gpt.ini", "[General]\r\nVersion=7\r\n");
    Export e;
    auto lines = writeLocalPolicy(system32.path(), e);
    ASSERT_FALSE(lines.has_value());
    EXPECT_NE(lines.error().message.find("Registry.pol"), std::string::npos);
    EXPECT_EQ(system32.read("GroupPolicy/Machine/Registry.pol"), "PReg\x01");
    EXPECT_EQ(system32.read("GroupPolicy/gpt.ini"), "[General]\r\nVersion=7\r\n");
    // Nor is the user half written without the machine half.
    EXPECT_FALSE(system32.exists("GroupPolicyUsers"));
}

}  // namespace
}  // namespace tessmar::gpo
