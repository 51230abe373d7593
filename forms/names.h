#pragma once
// The names of the controls, as the controls tables, the forms, the front ends and the tests spell
// them.
#include <array>
#include <string_view>

namespace tessmar::forms::names {

namespace main {
inline constexpr std::string_view Background = "Picture1";
inline constexpr std::string_view CategoryPanel = "Picture2(0)";   // the column of categories
inline constexpr std::string_view ChecklistPanel = "Picture2(1)";  // the checklist and the line
// The frame around each category button, lit while the pointer is over it.
inline constexpr std::array<std::string_view, 5> CategoryFrames{
    "Picture3(0)", "Picture3(1)", "Picture3(2)", "Picture3(3)", "Picture3(4)"};
// The five category buttons, category 0 first; the custom category is the last.
inline constexpr std::array<std::string_view, 5> Categories{
    "Command2(0)", "Command2(1)", "Command2(2)", "Command2(3)", "Command2(4)"};
inline constexpr std::string_view SelectAll = "Command3(0)";   // 全选
inline constexpr std::string_view SelectNone = "Command3(1)";  // 全否
inline constexpr std::string_view Help = "Command4(2)";
inline constexpr std::string_view ChangePassword = "Command4(3)";
inline constexpr std::string_view Close = "Command1(1)";
inline constexpr std::string_view Apply = "Command5";    // 确定生效
inline constexpr std::string_view Leave = "Command6";    // 取消退出: back to the idle view
inline constexpr std::string_view History = "Command7";  // the history of the applies
inline constexpr std::string_view Export = "Command8";   // the Group Policy export
inline constexpr std::string_view Preview = "Command9";  // the preview of an apply
inline constexpr std::string_view ChecklistGrid = "Grid1";
inline constexpr std::string_view Instruction = "Label1(0)";  // the vertical line beside the list
inline constexpr std::string_view NoteCaption = "Label2(1)";  // 备注：
inline constexpr std::string_view Note = "Label2(2)";
inline constexpr std::string_view Description =
    "Label3";  // what the control under the pointer does
inline constexpr std::string_view Icon = "Image1";
// Whose registry an apply writes: the running account, another account, accounts created later,
// every standard user.
inline constexpr std::string_view Target = "Combo1";
}  // namespace main

namespace gate {
inline constexpr std::string_view Frame1 = "Frame1";
inline constexpr std::string_view Image1 = "Image1";
inline constexpr std::string_view Label2 = "Label2";
inline constexpr std::string_view Text2 = "Text2";
inline constexpr std::string_view CancelButton = "CancelButton";
inline constexpr std::string_view OKButton = "OKButton";
}  // namespace gate

namespace password {
inline constexpr std::string_view Frame1 = "Frame1";
inline constexpr std::array<std::string_view, 2> Label1{"Label1(1)", "Label1(2)"};
inline constexpr std::array<std::string_view, 2> Text1{"Text1(0)", "Text1(1)"};  // new, again
inline constexpr std::array<std::string_view, 2> Command1{"Command1(0)", "Command1(1)"};
}  // namespace password

namespace drives {
inline constexpr int kDriveBoxes = 15;
inline constexpr std::string_view Frame1 = "Frame1";
inline constexpr std::string_view Frame2 = "Frame2";
inline constexpr std::string_view Frame3 = "Frame3";
inline constexpr std::array<std::string_view, 15> Check1{
    "Check1(0)",  "Check1(1)",  "Check1(2)",  "Check1(3)",  "Check1(4)",
    "Check1(5)",  "Check1(6)",  "Check1(7)",  "Check1(8)",  "Check1(9)",
    "Check1(10)", "Check1(11)", "Check1(12)", "Check1(13)", "Check1(14)"};
inline constexpr std::array<std::string_view, 16> Label1{
    "Label1(0)",  "Label1(1)",  "Label1(2)",  "Label1(3)", "Label1(4)",  "Label1(5)",
    "Label1(6)",  "Label1(7)",  "Label1(8)",  "Label1(9)", "Label1(10)", "Label1(11)",
    "Label1(12)", "Label1(13)", "Label1(14)", "Label1(15)"};
inline constexpr std::array<std::string_view, 15> kDriveLetters{
    "A:", "B:", "C:", "D:", "E:", "F:", "G:", "H:", "I:", "J:", "K:", "L:", "M:", "N:", "O:"};
inline constexpr std::array<std::string_view, 2> Line1{"Line1(0)", "Line1(1)"};
inline constexpr std::array<std::string_view, 4> Command1{"Command1(0)", "Command1(1)",
                                                          "Command1(2)", "Command1(3)"};
}  // namespace drives

namespace notice {
inline constexpr std::string_view Frame1 = "Frame1";
inline constexpr std::array<std::string_view, 2> Label1{"Label1(0)", "Label1(1)"};
inline constexpr std::string_view Text1 = "Text1";  // title
inline constexpr std::string_view Text2 = "Text2";  // text
inline constexpr std::array<std::string_view, 2> Command1{"Command1(0)", "Command1(1)"};
}  // namespace notice

namespace editor {
inline constexpr std::string_view Frame1 = "Frame1";
inline constexpr std::string_view Label1_0 = "Label1(0)";
inline constexpr std::string_view Label1_1 = "Label1(1)";
inline constexpr std::string_view Label1_2 = "Label1(2)";
inline constexpr std::string_view Label1_3 = "Label1(3)";
inline constexpr std::string_view Label1_4 = "Label1(4)";
inline constexpr std::string_view Label1_7 = "Label1(7)";
inline constexpr std::string_view Status = "Label1(6)";     // the operation under way
inline constexpr std::string_view Clicked = "Label1(5)";    // the entry last clicked
inline constexpr std::string_view Name = "Text1(3)";        // sm
inline constexpr std::string_view Combo1 = "Combo1";        // root, hkey1
inline constexpr std::string_view KeyPath = "Text1(0)";     // subkey1
inline constexpr std::string_view SecondName = "Text1(1)";  // newkey1
inline constexpr std::string_view Value = "Text1(2)";       // ka1
inline constexpr std::string_view Combo2 = "Combo2";        // type, reg
inline constexpr std::string_view Grid1 = "Grid1";
inline constexpr std::string_view Add = "Command2(0)";
inline constexpr std::string_view Change = "Command2(1)";
inline constexpr std::string_view Delete = "Command2(3)";
inline constexpr std::string_view Cancel = "Command2(4)";
inline constexpr std::string_view Save = "Command3";
}  // namespace editor

}  // namespace tessmar::forms::names
