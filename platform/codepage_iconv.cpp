// Code page 936 through glibc's iconv, on the systems that are not Windows.
#include <iconv.h>

#include <cerrno>

#include "platform/codepage.h"

namespace tessmar::platform {
namespace {

Result<std::string> convert(const char* to, const char* from, std::string_view in,
                            const char* what) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return fail("系统缺少代码页936的转换表");
    std::string out;
    out.resize(in.size() * 2 + 8);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    std::size_t done = 0;
    bool ok = true;
    while (srcLeft > 0) {
        char* dst = out.data() + done;
        std::size_t dstLeft = out.size() - done;
        std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        done = out.size() - dstLeft;
        if (r == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            ok = false;  // EILSEQ or EINVAL: a character without a counterpart, or a cut sequence
            break;
        }
        // glibc counts characters it replaced without failing; there must be none.
        if (r != 0) {
            ok = false;
            break;
        }
    }
    iconv_close(cd);
    if (!ok) return fail(what);
    out.resize(done);
    return out;
}

}  // namespace

Result<std::string> toCp936(std::string_view utf8) {
    return convert("CP936", "UTF-8", utf8, "文字中有代码页936无法表示的字符");
}

Result<std::string> fromCp936(std::string_view bytes) {
    return convert("UTF-8", "CP936", bytes, "内容不是有效的代码页936文字");
}

bool fitsCp936(std::string_view utf8) {
    return toCp936(utf8).has_value();
}

}  // namespace tessmar::platform
