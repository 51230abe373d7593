#pragma once
// The controls tables of the windows, as data: every front end creates its controls from them, so
// the layout (twips, captions, tooltips, fonts, colours, tab order) is written once.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace tessmar::forms {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// Left, top, width, height in twips (1/1440 inch; 15 to a pixel at 96 dpi), relative to the
// containing control.
struct TwipsRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const TwipsRect&) const = default;
};

// Pixels at the given dots per inch, rounded to the nearest; 96 dpi gives twips / 15.
constexpr int pixels(int twips, int dpi = 96) {
    const long scaled = static_cast<long>(twips) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : (scaled - 720) / 1440);
}

// The fonts of a Chinese Windows; a front end falls back to any installed font that shows Chinese.
enum class Face { Songti, Youyuan, Kaiti };  // 宋体, 幼圆, 楷体_GB2312
std::string_view faceName(Face face);
// The faces to try, in order: the face by its old name, the same face as Windows 10 and 11 name
// it (楷体_GB2312 is gone there, 楷体 is not), then Microsoft YaHei. A front end tries these, then
// any installed face with the characters.
std::span<const std::string_view> faceFallbacks(Face face);

struct Font {
    Face face = Face::Songti;
    double points = 9;
    bool bold = false;
    bool operator==(const Font&) const = default;
};

enum class Kind {
    Frame,          // a frame without caption: a sunken box holding other controls
    PictureBox,     // a back colour with an optional picture stretched over it
    Image,          // a picture without back colour
    Button,         // a push button with a caption
    PictureButton,  // a push button showing a picture (and the caption, if any, beside it)
    Label,
    TextBox,
    CheckBox,
    ComboBox,  // an editable drop-down combo box
    Grid,
    Line,  // a thin vertical line
};

// What a grid shows besides its cells.
struct GridSpec {
    std::vector<int> columnTwips;  // widths, column 0 first
    int fixedRows = 0;             // heading rows that stay put when the rows scroll
    int fixedColumns = 0;          // heading columns, drawn like the heading row
    int rowTwips = 0;              // row height; 0 for the font's own
    std::optional<Rgb> cellBack, cellText;
    std::optional<Rgb> outside;  // the area beside and below the cells
};

struct Control {
    std::string_view name;  // "Command2(3)": also the objectName (Qt) of the control
    Kind kind = Kind::Label;
    std::string_view parent;  // the containing control's name; empty for the window itself
    TwipsRect place;
    std::string_view caption;  // UTF-8, blanks included
    std::string_view tooltip;
    Font font;
    std::optional<Rgb> back, fore;  // nullopt: the system's colours
    std::string_view picture;       // artwork name: ui/art/<picture>.svg
    int tab = -1;                   // place in the tab order, 0 first; -1 takes no focus by Tab
    int maxLength = 0;              // text boxes: 0 is no limit
    bool password = false;          // text boxes: each character shown as "*"
    bool multiLine = false;         // text boxes: Enter starts a new line; no scroll bars
    bool wrap = false;              // labels: the text wraps at the label's width
    bool vertical = false;          // labels: one character under the other
    bool flat = false;              // picture buttons: no border, the picture alone
    bool graphical = false;         // buttons: drawn in their back colour
    std::vector<std::string_view> items;  // combo boxes: the list, in order
    bool dropList = false;                // combo boxes: a list to choose from, no text to type
    std::optional<GridSpec> grid;
    bool visible = true;  // shown when the window opens
};

enum class Border {
    Thin,         // a thin fixed border without title bar (the main window)
    FixedDialog,  // a dialog frame with a title bar and no close box (the start-up gate)
    FixedSingle,  // a single fixed border with a title bar and a close box (the side windows)
};

struct WindowLayout {
    std::string_view name;                  // window class: "main", "pwdyz", ...
    std::string_view caption;               // title bar text, blanks included
    int clientWidth = 0, clientHeight = 0;  // twips
    Border border = Border::FixedSingle;
    bool taskbar = true;  // shown in the task bar
    // Enter on a focused button presses it, as in a dialog; where not, a button takes neither
    // Enter nor Esc.
    bool enterPressesButtons = true;
    std::string_view focus;         // the control that has the focus when the window opens
    std::vector<Control> controls;  // a control lies above the controls listed before it
};

// The six windows of the checklist tool, and three of this program's own: the history of the
// applies with their restore, the preview of an apply, and the Group Policy export.
enum class WindowKind { Gate, Main, Password, Drives, Notice, Editor, History, Preview, Export };
inline constexpr WindowKind kAllWindows[] = {
    WindowKind::Gate,    WindowKind::Main,    WindowKind::Password,
    WindowKind::Drives,  WindowKind::Notice,  WindowKind::Editor,
    WindowKind::History, WindowKind::Preview, WindowKind::Export};
inline constexpr std::size_t kWindowCount = std::size(kAllWindows);

const WindowLayout& layoutOf(WindowKind kind);

// The control of that name, or nullptr.
const Control* findControl(const WindowLayout& layout, std::string_view name);

// The Windows control id of a control: 1000 plus its place in the table; 0 for no such control.
// Window classes are registered under the layout's name ("main", "pwdyz", ...).
int controlId(const WindowLayout& layout, std::string_view name);
inline constexpr int kFirstControlId = 1000;

// The top-left corner that centres a window of this size on an area of the screen (all pixels).
struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
};
Point centred(int areaLeft, int areaTop, int areaWidth, int areaHeight, int width, int height);

}  // namespace tessmar::forms
