#include "gpo/regfile.h"

#include "platform/codepage.h"
#include "platform/regedit4.h"

namespace tessmar::gpo {

Result<std::string> regFileBytes(const std::vector<engine::RegWrite>& writes) {
    namespace regedit4 = platform::regedit4;
    std::string out = std::string(regedit4::kHeader) + "\r\n";
    std::string section;  // the section line of the key whose values are being written
    for (const engine::RegWrite& w : writes) {
        auto key = platform::toCp936(w.key);
        auto name = platform::toCp936(w.name);
        if (!key || !name) return fail("“" + w.key + "\\" + w.name + "”不能用中文代码页 936 表示");
        std::string line = regedit4::sectionLine(w.root, *key);
        if (w.op == engine::RegWrite::Op::DeleteKey) {
            std::string gone = key->empty() ? *name : *key + "\\" + *name;
            out += "\r\n" + line + "\r\n" + regedit4::sectionLine(w.root, gone, true);
            section.clear();
            continue;
        }
        if (line != section) {
            out += "\r\n" + line;
            section = line;
        }
        out += regedit4::valueLine(*name, {w.type, w.data});
    }
    out += "\r\n";
    return out;
}

}  // namespace tessmar::gpo
