#include "win32/art.h"

#include <wincodec.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <string>
#include <tuple>

namespace tessmar::win32 {

namespace art {

namespace {

template <class T>
struct Released {
    T* p = nullptr;
    ~Released() {
        if (p) p->Release();
    }
    T** out() { return &p; }
    T* operator->() const { return p; }
};

std::wstring resourceName(std::string_view name) {
    std::wstring id = L"ART_";
    for (char c : name) id += static_cast<wchar_t>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return id;
}

IWICImagingFactory* factory() {
    static IWICImagingFactory* made = [] {
        // Already initialised (by this program or a shell call) in either model is fine for WIC.
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        IWICImagingFactory* f = nullptr;
        if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(&f))))
            f = nullptr;
        return f;
    }();
    return made;
}

Pixels decode(std::string_view name) {
    Pixels out;
    HMODULE module = GetModuleHandleW(nullptr);
    const std::wstring id = resourceName(name);
    HRSRC found = FindResourceW(module, id.c_str(), MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (!found) return out;
    HGLOBAL loaded = LoadResource(module, found);
    const DWORD size = SizeofResource(module, found);
    auto* bytes = static_cast<BYTE*>(loaded ? LockResource(loaded) : nullptr);
    IWICImagingFactory* wic = factory();
    if (!bytes || size == 0 || !wic) return out;

    Released<IWICStream> stream;
    Released<IWICBitmapDecoder> decoder;
    Released<IWICBitmapFrameDecode> frame;
    Released<IWICFormatConverter> converter;
    if (FAILED(wic->CreateStream(stream.out())) ||
        FAILED(stream->InitializeFromMemory(bytes, size)) ||
        FAILED(wic->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnDemand,
                                            decoder.out())) ||
        FAILED(decoder->GetFrame(0, frame.out())) ||
        FAILED(wic->CreateFormatConverter(converter.out())) ||
        FAILED(converter->Initialize(frame.p, GUID_WICPixelFormat32bppPBGRA,
                                     WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return out;
    UINT w = 0, h = 0;
    if (FAILED(converter->GetSize(&w, &h)) || w == 0 || h == 0 || w > 16384 || h > 16384)
        return out;
    std::vector<std::uint32_t> data(static_cast<std::size_t>(w) * h);
    if (FAILED(converter->CopyPixels(nullptr, w * 4, static_cast<UINT>(data.size() * 4),
                                     reinterpret_cast<BYTE*>(data.data()))))
        return out;
    out.width = static_cast<int>(w);
    out.height = static_cast<int>(h);
    out.data = std::move(data);
    return out;
}

// Weights of the source cells [i, i+1) that the target cell [t*scale, (t+1)*scale) covers.
struct Span {
    int first = 0;
    std::vector<double> weights;
};

std::vector<Span> spans(int from, int to) {
    std::vector<Span> result(static_cast<std::size_t>(to));
    const double scale = static_cast<double>(from) / to;
    for (int t = 0; t < to; ++t) {
        const double lo = t * scale, hi = (t + 1) * scale;
        Span& s = result[static_cast<std::size_t>(t)];
        s.first = std::min(static_cast<int>(lo), from - 1);
        for (int i = s.first; i < from && i < hi; ++i) {
            const double cover = std::min<double>(hi, i + 1) - std::max<double>(lo, i);
            if (cover > 0) s.weights.push_back(cover / scale);
        }
        if (s.weights.empty()) s.weights.push_back(1.0);
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
    out.data.resize(static_cast<std::size_t>(width) * height);
    if (width == source.width && height == source.height) {
        out.data = source.data;
        return out;
    }
    const auto across = spans(source.width, width);
    const auto down = spans(source.height, height);
    for (int y = 0; y < height; ++y) {
        const Span& sy = down[static_cast<std::size_t>(y)];
        for (int x = 0; x < width; ++x) {
            const Span& sx = across[static_cast<std::size_t>(x)];
            double sum[4] = {0, 0, 0, 0};
            for (std::size_t j = 0; j < sy.weights.size(); ++j) {
                const std::uint32_t* row =
                    &source.data[static_cast<std::size_t>(sy.first + static_cast<int>(j)) *
                                 source.width];
                for (std::size_t i = 0; i < sx.weights.size(); ++i) {
                    const std::uint32_t p = row[sx.first + static_cast<int>(i)];
                    const double w = sy.weights[j] * sx.weights[i];
                    for (int c = 0; c < 4; ++c) sum[c] += w * ((p >> (8 * c)) & 0xff);
                }
            }
            std::uint32_t p = 0;
            for (int c = 0; c < 4; ++c) {
                const long v = std::clamp(std::lround(sum[c]), 0L, 255L);
                p |= static_cast<std::uint32_t>(v) << (8 * c);
            }
            out.data[static_cast<std::size_t>(y) * width + x] = p;
        }
    }
    return out;
}

const Pixels& picture(std::string_view name) {
    static std::map<std::string, Pixels, std::less<>> cache;
    auto it = cache.find(name);
    if (it == cache.end()) it = cache.emplace(std::string(name), decode(name)).first;
    return it->second;
}

}  // namespace art

namespace {

// One bitmap per picture and size drawn, so that repainting does not resample again.
struct Drawn {
    HBITMAP bitmap = nullptr;
    int width = 0, height = 0;
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
    const art::Pixels& source = art::picture(name);
    const art::Pixels scaled = art::resample(source, width, height);
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
            result = Drawn{bitmap, width, height};
        } else if (bitmap) {
            DeleteObject(bitmap);
        }
    }
    cache.emplace(key, result);
    return result;
}

}  // namespace

void drawArt(HDC dc, std::string_view name, const RECT& rect) {
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (!dc || width <= 0 || height <= 0) return;
    const Drawn d = drawn(name, width, height);
    if (!d.bitmap) return;
    HDC memory = CreateCompatibleDC(dc);
    if (!memory) return;
    HGDIOBJ old = SelectObject(memory, d.bitmap);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, rect.left, rect.top, width, height, memory, 0, 0, width, height, blend);
    SelectObject(memory, old);
    DeleteDC(memory);
}

HICON programIcon(int size) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                         size, size, LR_DEFAULTCOLOR | LR_SHARED));
}

}  // namespace tessmar::win32
