#include "forms/layout.h"

#include <algorithm>

namespace tessmar::forms {

std::string_view faceName(Face face) {
    switch (face) {
        case Face::Songti:
            return "宋体";
        case Face::Youyuan:
            return "幼圆";
        case Face::Kaiti:
            return "楷体_GB2312";
    }
    return "宋体";
}

std::span<const std::string_view> faceFallbacks(Face face) {
    static constexpr std::string_view kSongti[] = {"宋体", "SimSun", "新宋体", "NSimSun",
                                                   "Microsoft YaHei"};
    static constexpr std::string_view kYouyuan[] = {"幼圆", "YouYuan", "Microsoft YaHei"};
    static constexpr std::string_view kKaiti[] = {"楷体_GB2312", "楷体", "KaiTi",
                                                  "Microsoft YaHei"};
    switch (face) {
        case Face::Youyuan:
            return kYouyuan;
        case Face::Kaiti:
            return kKaiti;
        case Face::Songti:
            break;
    }
    return kSongti;
}

const Control* findControl(const WindowLayout& layout, std::string_view name) {
    for (const Control& control : layout.controls)
        if (control.name == name) return &control;
    return nullptr;
}

int controlId(const WindowLayout& layout, std::string_view name) {
    for (std::size_t i = 0; i < layout.controls.size(); ++i)
        if (layout.controls[i].name == name) return kFirstControlId + static_cast<int>(i);
    return 0;
}

Point centred(int areaLeft, int areaTop, int areaWidth, int areaHeight, int width, int height) {
    // A window larger than the area keeps its top-left corner on it.
    return {areaLeft + std::max(0, (areaWidth - width) / 2),
            areaTop + std::max(0, (areaHeight - height) / 2)};
}

}  // namespace tessmar::forms
