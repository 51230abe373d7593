#pragma once
// The names of the controls, as the controls tables, the forms, the front ends and the tests spell
// them.
#include <array>
#include <string_view>

namespace tessmar::forms::names {

namespace main {
inline constexpr std::string_view Picture1 = "Picture1";
inline constexpr std::array<std::string_view, 2> Picture2{"Picture2(0)", "Picture2(1)"};
inline constexpr std::array<std::string_view, 5> Picture3{
    "Picture3(0)", "Picture3(1)", "Picture3(2)", "Picture3(3)", "Picture3(4)"};
inline constexpr std::array<std::string_view, 5> Command2{
    "Command2(0)", "Command2(1)", "Command2(2)", "Command2(3)", "Command2(4)"};
inline constexpr std::array<std::string_view, 2> Command3{"Command3(0)", "Command3(1)"};
inline constexpr std::array<std::string_view, 2> Command4{"Command4(2)",
                                                          "Command4(3)"};  // help, pw
inline constexpr std::string_view Command1_1 = "Command1(1)";              // close
inline constexpr std::string_view Command5 = "Command5";                   // 确定生效
inline constexpr std::string_view Command6 = "Command6";                   // 取消退出
inline constexpr std::string_view Command7 = "Command7";  // the history of the applies
inline constexpr std::string_view Command8 = "Command8";  // the Group Policy export
inline constexpr std::string_view Command9 = "Command9";  // the preview of an apply
inline constexpr std::string_view Grid1 = "Grid1";
inline constexpr std::string_view Label1_0 = "Label1(0)";
inline constexpr std::array<std::string_view, 2> Label2{"Label2(1)", "Label2(2)"};
inline constexpr std::string_view Label3 = "Label3";
inline constexpr std::string_view Image1 = "Image1";
}  // namespace main

namespace pwdyz {
inline constexpr std::string_view Frame1 = "Frame1";
inline constexpr std::string_view Image1 = "Image1";
inline constexpr std::string_view Label2 = "Label2";
inline constexpr std::string_view Text2 = "Text2";
inline constexpr std::string_view CancelButton = "CancelButton";
inline constexpr std::string_view OKButton = "OKButton";
}  // namespace pwdyz

namespace pwsword {
inline constexpr std::string_view Frame1 = "Frame1";
inline constexpr std::array<std::string_view, 2> Label1{"Label1(1)", "Label1(2)"};
inline constexpr std::array<std::string_view, 2> Text1{"Text1(0)", "Text1(1)"};  // new, again
inline constexpr std::array<std::string_view, 2> Command1{"Command1(0)", "Command1(1)"};
}  // namespace pwsword

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

namespace logo {
inline constexpr std::string_view Frame1 = "Frame1";
inline constexpr std::array<std::string_view, 2> Label1{"Label1(0)", "Label1(1)"};
inline constexpr std::string_view Text1 = "Text1";  // title
inline constexpr std::string_view Text2 = "Text2";  // text
inline constexpr std::array<std::string_view, 2> Command1{"Command1(0)", "Command1(1)"};
}  // namespace logo

namespace usersys {
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
}  // namespace usersys

}  // namespace tessmar::forms::names
