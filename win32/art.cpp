#include "win32/art.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>

namespace tessmar::win32 {

namespace art {

namespace {

std::wstring resourceName(std::string_view name) {
    std::wstring id = L"ART_";
    for (char c : name) id += static_cast<wchar_t>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return id;
}

Pixels decode(std::string_view name) {
    HMODULE module = GetModuleHandleW(nullptr);
    const std::wstring id = resourceName(name);
    HRSRC found = FindResourceW(module, id.c_str(), MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    const DWORD size = SizeofResource(module, found);
    const auto* bytes = static_cast<const std::uint8_t*>(loaded ? LockResource(loaded) : nullptr);
    if (!bytes || size == 0) return {};
    return decodePng(std::span(bytes, size));
}

// Fixed-point weights (of kOne) of the source cells [i, i+1) that the target cell
// [t*scale, (t+1)*scale) covers; they add up to exactly kOne, so a solid picture stays solid.
constexpr std::int64_t kOne = 1 << 14;

struct Span {
    int first = 0;
    std::vector<std::int64_t> weights;
};

std::vector<Span> spans(int from, int to) {
    std::vector<Span> result(static_cast<std::size_t>(to));
    const double scale = static_cast<double>(from) / to;
    for (int t = 0; t < to; ++t) {
        const double lo = t * scale, hi = (t + 1) * scale;
        Span& s = result[static_cast<std::size_t>(t)];
        s.first = std::min(static_cast<int>(lo), from - 1);
        std::int64_t sum = 0;
        std::size_t largest = 0;
        for (int i = s.first; i < from && i < hi; ++i) {
            const double cover = std::min<double>(hi, i + 1) - std::max<double>(lo, i);
            if (cover <= 0) continue;
            if (s.weights.empty()) s.first = i;
            s.weights.push_back(std::llround(cover / scale * kOne));
            sum += s.weights.back();
            if (s.weights.back() > s.weights[largest]) largest = s.weights.size() - 1;
        }
        if (s.weights.empty()) s.weights.push_back(0), largest = 0;
        s.weights[largest] += kOne - sum;
    }
    return result;
}

}  // namespace

Pixels resample(const Pixels& source, int width, int height) {
    Pixels out;
    if (width <= 0 || height <= 0 || source.width <= 0 || source.height <= 0 ||
        source.data.size() != static_cast<std::size_t>(source.width) * source.height)
        return out;
    out.width = width;
    out.height = height;
    // Within a pixel of its size (a control's twips rounded at 200 %), the picture as rendered:
    // cut, or its last row and column repeated, rather than every pixel resampled.
    if (std::abs(width - source.width) <= 1 && std::abs(height - source.height) <= 1) {
        out.data.resize(static_cast<std::size_t>(width) * height);
        for (int y = 0; y < height; ++y) {
            const std::uint32_t* row =
                &source
                     .data[static_cast<std::size_t>(std::min(y, source.height - 1)) * source.width];
            for (int x = 0; x < width; ++x)
                out.data[static_cast<std::size_t>(y) * width + x] =
                    row[std::min(x, source.width - 1)];
        }
        return out;
    }
    // The twice-size renders drawn at 96 dpi: each target pixel is the mean of a 2 x 2 square.
    if (width * 2 == source.width && height * 2 == source.height) {
        out.data.resize(static_cast<std::size_t>(width) * height);
        for (int y = 0; y < height; ++y) {
            const std::uint32_t* top = &source.data[static_cast<std::size_t>(2 * y) * source.width];
            const std::uint32_t* bottom = top + source.width;
            for (int x = 0; x < width; ++x) {
                std::uint32_t p = 0;
                for (int c = 0; c < 32; c += 8) {
                    const std::uint32_t sum =
                        ((top[2 * x] >> c) & 0xff) + ((top[2 * x + 1] >> c) & 0xff) +
                        ((bottom[2 * x] >> c) & 0xff) + ((bottom[2 * x + 1] >> c) & 0xff);
                    p |= ((sum + 2) / 4) << c;
                }
                out.data[static_cast<std::size_t>(y) * width + x] = p;
            }
        }
        return out;
    }
    // Across first, into sums of kOne per channel, then down: each target pixel costs the cells
    // of one row plus one column instead of their product.
    const auto across = spans(source.width, width);
    const auto down = spans(source.height, height);
    std::vector<std::int64_t> rows(static_cast<std::size_t>(width) * source.height * 4);
    for (int y = 0; y < source.height; ++y) {
        const std::uint32_t* in = &source.data[static_cast<std::size_t>(y) * source.width];
        std::int64_t* to = &rows[static_cast<std::size_t>(y) * width * 4];
        for (int x = 0; x < width; ++x, to += 4) {
            const Span& sx = across[static_cast<std::size_t>(x)];
            for (std::size_t i = 0; i < sx.weights.size(); ++i) {
                const std::uint32_t p = in[sx.first + static_cast<int>(i)];
                for (int c = 0; c < 4; ++c) to[c] += sx.weights[i] * ((p >> (8 * c)) & 0xff);
            }
        }
    }
    out.data.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const Span& sy = down[static_cast<std::size_t>(y)];
        for (int x = 0; x < width; ++x) {
            std::int64_t sum[4] = {0, 0, 0, 0};
            for (std::size_t j = 0; j < sy.weights.size(); ++j) {
                const std::int64_t* from =
                    &rows[(static_cast<std::size_t>(sy.first + static_cast<int>(j)) * width + x) *
                          4];
                for (int c = 0; c < 4; ++c) sum[c] += sy.weights[j] * from[c];
            }
            std::uint32_t p = 0;
            for (int c = 0; c < 4; ++c) {
                const std::int64_t v = (sum[c] + kOne * kOne / 2) / (kOne * kOne);
                p |= static_cast<std::uint32_t>(std::clamp<std::int64_t>(v, 0, 255)) << (8 * c);
            }
            out.data[static_cast<std::size_t>(y) * width + x] = p;
        }
    }
    return out;
}

namespace {

// The pictures decoded and scaled ahead (prepare), taken by the first drawing of that size; the
// lock also keeps the two threads from decoding one picture twice. Never destroyed: the thread that
// prepares may still run while the program ends.
std::mutex& lock = *new std::mutex;
auto& prepared = *new std::map<std::tuple<std::string, int, int>, Pixels>;

}  // namespace

const Pixels& picture(std::string_view name) {
    static auto& cache = *new std::map<std::string, Pixels, std::less<>>;
    const std::lock_guard held(lock);
    auto it = cache.find(name);
    if (it == cache.end()) it = cache.emplace(std::string(name), decode(name)).first;
    return it->second;
}

void prepare(std::vector<std::tuple<std::string, int, int>> wanted) {
    std::thread([wanted = std::move(wanted)] {
        for (const auto& [name, width, height] : wanted) {
            Pixels scaled = resample(picture(name), width, height);
            const std::lock_guard held(lock);
            prepared.emplace(std::make_tuple(name, width, height), std::move(scaled));
        }
    }).detach();
}

Pixels scaled(std::string_view name, int width, int height) {
    {
        const std::lock_guard held(lock);
        auto it = prepared.find(std::make_tuple(std::string(name), width, height));
        if (it != prepared.end()) {
            Pixels ready = std::move(it->second);
            prepared.erase(it);
            return ready;
        }
    }
    return resample(picture(name), width, height);
}

}  // namespace art

namespace {

// One bitmap per picture and size drawn, so that repainting does not resample again.
struct Drawn {
    HBITMAP bitmap = nullptr;
    int width = 0, height = 0;
    // Without a see-through pixel it is copied rather than blended: Wine blends a pixel at a
    // time, 6 ms for the main window's background.
    bool opaque = false;
};

Drawn drawn(std::string_view name, int width, int height) {
    static std::map<std::tuple<std::string, int, int>, Drawn> cache;
    const auto key = std::make_tuple(std::string(name), width, height);
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    // Keeps the cache bounded when a window is resized through many sizes.
    if (cache.size() > 256) {
        for (auto& [k, d] : cache) DeleteObject(d.bitmap);
        cache.clear();
    }
    Drawn result;
    const art::Pixels scaled = art::scaled(name, width, height);
    if (!scaled.data.empty()) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap && bits) {
            std::copy(scaled.data.begin(), scaled.data.end(), static_cast<std::uint32_t*>(bits));
            const bool opaque = std::all_of(scaled.data.begin(), scaled.data.end(),
                                            [](std::uint32_t p) { return p >> 24 == 0xFF; });
            result = Drawn{bitmap, width, height, opaque};
        } else if (bitmap) {
            DeleteObject(bitmap);
        }
    }
    cache.emplace(key, result);
    return result;
}

}  // namespace

void art::prepareDrawing(std::string_view name, int width, int height) {
    if (width > 0 && height > 0) drawn(name, width, height);
}

RECT atOwnSize(std::string_view name, const RECT& area, int dpi) {
    const art::Pixels& rendered = art::picture(name);
    const int areaWidth = area.right - area.left, areaHeight = area.bottom - area.top;
    if (rendered.data.empty() || areaWidth <= 0 || areaHeight <= 0) return area;
    // The rendering is twice the picture's size at 96 dpi.
    int width = MulDiv(rendered.width, dpi, 2 * 96), height = MulDiv(rendered.height, dpi, 2 * 96);
    if (width > areaWidth || height > areaHeight) {
        const int across = MulDiv(height, areaWidth, width);
        if (across <= areaHeight) {
            height = std::max(1, across);
            width = areaWidth;
        } else {
            width = std::max(1, MulDiv(width, areaHeight, height));
            height = areaHeight;
        }
    }
    const int left = area.left + (areaWidth - width) / 2,
              top = area.top + (areaHeight - height) / 2;
    return RECT{left, top, left + width, top + height};
}

void drawArt(HDC dc, std::string_view name, const RECT& rect) {
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (!dc || width <= 0 || height <= 0) return;
    const Drawn d = drawn(name, width, height);
    if (!d.bitmap) return;
    HDC memory = CreateCompatibleDC(dc);
    if (!memory) return;
    HGDIOBJ old = SelectObject(memory, d.bitmap);
    if (d.opaque) {
        BitBlt(dc, rect.left, rect.top, width, height, memory, 0, 0, SRCCOPY);
    } else {
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        GdiAlphaBlend(dc, rect.left, rect.top, width, height, memory, 0, 0, width, height, blend);
    }
    SelectObject(memory, old);
    DeleteDC(memory);
}

bool hidesWhatIsUnder(std::string_view name, int width, int height) {
    return width > 0 && height > 0 && drawn(name, width, height).opaque;
}

HICON programIcon(int size) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                         size, size, LR_DEFAULTCOLOR | LR_SHARED));
}

}  // namespace tessmar::win32
