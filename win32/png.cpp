// The PNG reader of the artwork: 8-bit RGB or RGBA, not interlaced, as rsvg-convert writes them at
// build time. Reading them here spares the program COM and the Windows Imaging Component (three
// more DLLs and a decoder object) at start-up, and decodes in a fraction of the time.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "win32/art.h"

namespace tessmar::win32::art {

namespace {

// --- Inflate (RFC 1951) --------------------------------------------------------------------

class BitReader {
  public:
    explicit BitReader(std::span<const std::uint8_t> in) : in_(in) {}
    // The next n (at most 16) bits, least significant first; -1 past the end.
    int bits(int n) {
        if (!fill(n)) return -1;
        const int value = static_cast<int>(buffer_ & ((1u << n) - 1));
        buffer_ >>= n;
        count_ -= n;
        return value;
    }
    // The next n bits without taking them; bits past the end read as zero.
    unsigned peek(int n) {
        fill(n);
        return buffer_ & ((1u << n) - 1);
    }
    bool take(int n) {
        if (n > count_) return false;
        buffer_ >>= n;
        count_ -= n;
        return true;
    }
    // Drops the rest of the byte begun; whole bytes read ahead go back to the input.
    void toByte() {
        at_ -= static_cast<std::size_t>(count_ / 8);
        buffer_ = 0;
        count_ = 0;
    }
    std::size_t at() const { return at_; }
    void skip(std::size_t n) { at_ += n; }
    std::span<const std::uint8_t> input() const { return in_; }

  private:
    bool fill(int n) {
        while (count_ < n) {
            if (at_ >= in_.size()) return false;
            buffer_ |= static_cast<std::uint32_t>(in_[at_++]) << count_;
            count_ += 8;
        }
        return true;
    }
    std::span<const std::uint8_t> in_;
    std::size_t at_ = 0;
    std::uint32_t buffer_ = 0;
    int count_ = 0;
};

// A canonical Huffman code: how many codes each length has, the symbols in code order, and a
// table of the codes up to kFast bits long, indexed by the next kFast bits of the input.
struct Huffman {
    static constexpr int kFast = 9;
    std::array<std::uint16_t, 16> counts{};
    std::array<std::uint16_t, 320> symbols{};
    std::array<std::uint16_t, 1 << kFast> fast{};  // length << 9 | symbol; 0 for a longer code

    bool build(const std::uint8_t* lengths, int n) {
        counts.fill(0);
        fast.fill(0);
        for (int i = 0; i < n; ++i) ++counts[lengths[i]];
        if (counts[0] == n) return true;  // no codes: only an error if one is read
        int left = 1;
        for (int len = 1; len < 16; ++len) {
            left = (left << 1) - counts[static_cast<std::size_t>(len)];
            if (left < 0) return false;  // over-subscribed
        }
        std::array<std::uint16_t, 16> offsets{};
        for (int len = 1; len < 15; ++len)
            offsets[static_cast<std::size_t>(len + 1)] = static_cast<std::uint16_t>(
                offsets[static_cast<std::size_t>(len)] + counts[static_cast<std::size_t>(len)]);
        for (int i = 0; i < n; ++i)
            if (lengths[i]) symbols[offsets[lengths[i]]++] = static_cast<std::uint16_t>(i);
        counts[0] = 0;
        std::array<int, 16> next{};
        for (int len = 1, code = 0; len < 16; ++len) {
            code = (code + counts[static_cast<std::size_t>(len - 1)]) << 1;
            next[static_cast<std::size_t>(len)] = code;
        }
        for (int i = 0; i < n; ++i) {
            const int len = lengths[i];
            if (len == 0) continue;
            const int code = next[static_cast<std::size_t>(len)]++;
            if (len > kFast) continue;
            int reversed = 0;  // the input holds the code's bits in reverse
            for (int b = 0; b < len; ++b) reversed |= ((code >> b) & 1) << (len - 1 - b);
            for (int j = reversed; j < (1 << kFast); j += 1 << len)
                fast[static_cast<std::size_t>(j)] = static_cast<std::uint16_t>(len << 9 | i);
        }
        return true;
    }

    // The next symbol, or -1 for a damaged stream.
    int decode(BitReader& in) const {
        const std::uint16_t entry = fast[in.peek(kFast)];
        if (entry && in.take(entry >> 9)) return entry & 511;
        int code = 0, first = 0, index = 0;
        for (int len = 1; len < 16; ++len) {
            const int bit = in.bits(1);
            if (bit < 0) return -1;
            code |= bit;
            const int count = counts[static_cast<std::size_t>(len)];
            if (code - count < first)
                return symbols[static_cast<std::size_t>(index + code - first)];
            index += count;
            first = (first + count) << 1;
            code <<= 1;
        }
        return -1;
    }
};

constexpr std::uint16_t kLengthBase[] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                         15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                         67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::uint8_t kLengthExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                         2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::uint16_t kDistanceBase[] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::uint8_t kDistanceExtra[] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                           6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

bool inflateBlock(BitReader& in, std::vector<std::uint8_t>& out, const Huffman& lengths,
                  const Huffman& distances, std::size_t limit) {
    for (;;) {
        int symbol = lengths.decode(in);
        if (symbol < 0) return false;
        if (symbol < 256) {
            if (out.size() >= limit) return false;
            out.push_back(static_cast<std::uint8_t>(symbol));
            continue;
        }
        if (symbol == 256) return true;
        symbol -= 257;
        if (symbol >= 29) return false;
        const int extra = in.bits(kLengthExtra[symbol]);
        const int d = distances.decode(in);
        if (extra < 0 || d < 0 || d >= 30) return false;
        const int dExtra = in.bits(kDistanceExtra[d]);
        if (dExtra < 0) return false;
        const std::size_t length = kLengthBase[symbol] + static_cast<std::size_t>(extra);
        const std::size_t distance = kDistanceBase[d] + static_cast<std::size_t>(dExtra);
        if (distance > out.size() || out.size() + length > limit) return false;
        const std::size_t from = out.size() - distance;
        for (std::size_t i = 0; i < length; ++i) out.push_back(out[from + i]);
    }
}

bool dynamicCodes(BitReader& in, Huffman& lengths, Huffman& distances) {
    const int nLength = in.bits(5) + 257, nDistance = in.bits(5) + 1, nCode = in.bits(4) + 4;
    if (nLength < 257 || nDistance < 1 || nCode < 4 || nLength > 286 || nDistance > 30)
        return false;
    static constexpr std::uint8_t kOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                11, 4,  12, 3, 13, 2, 14, 1, 15};
    std::uint8_t sizes[320] = {};
    for (int i = 0; i < nCode; ++i) {
        const int b = in.bits(3);
        if (b < 0) return false;
        sizes[kOrder[i]] = static_cast<std::uint8_t>(b);
    }
    Huffman code;
    if (!code.build(sizes, 19)) return false;
    std::fill(std::begin(sizes), std::end(sizes), 0);
    for (int i = 0; i < nLength + nDistance;) {
        const int symbol = code.decode(in);
        if (symbol < 0) return false;
        if (symbol < 16) {
            sizes[i++] = static_cast<std::uint8_t>(symbol);
            continue;
        }
        int repeat = 0;
        std::uint8_t value = 0;
        if (symbol == 16) {
            if (i == 0) return false;
            value = sizes[i - 1];
            repeat = 3 + in.bits(2);
        } else if (symbol == 17) {
            repeat = 3 + in.bits(3);
        } else {
            repeat = 11 + in.bits(7);
        }
        if (repeat < 3 || i + repeat > nLength + nDistance) return false;
        while (repeat--) sizes[i++] = value;
    }
    if (sizes[256] == 0) return false;  // no end of block
    return lengths.build(sizes, nLength) && distances.build(sizes + nLength, nDistance);
}

// The zlib stream's data, at most limit bytes; empty when the stream is damaged.
std::vector<std::uint8_t> inflate(std::span<const std::uint8_t> zlib, std::size_t limit) {
    std::vector<std::uint8_t> out;
    if (zlib.size() < 2 || (zlib[0] & 0x0f) != 8 || ((zlib[0] << 8) | zlib[1]) % 31 != 0 ||
        (zlib[1] & 0x20))
        return {};
    out.reserve(limit);
    BitReader in(zlib.subspan(2));
    Huffman fixedLengths, fixedDistances;
    int last = 0;
    do {
        last = in.bits(1);
        const int type = in.bits(2);
        if (last < 0 || type < 0) return {};
        if (type == 0) {
            in.toByte();
            const auto rest = in.input().subspan(in.at());
            if (rest.size() < 4) return {};
            const std::size_t n = rest[0] | (rest[1] << 8);
            if ((n ^ (rest[2] | (rest[3] << 8))) != 0xffff || rest.size() < 4 + n ||
                out.size() + n > limit)
                return {};
            out.insert(out.end(), rest.begin() + 4, rest.begin() + 4 + static_cast<long>(n));
            in.skip(4 + n);
        } else if (type == 1) {
            if (fixedLengths.counts[7] == 0) {
                std::uint8_t sizes[288];
                std::fill(sizes, sizes + 144, 8);
                std::fill(sizes + 144, sizes + 256, 9);
                std::fill(sizes + 256, sizes + 280, 7);
                std::fill(sizes + 280, sizes + 288, 8);
                fixedLengths.build(sizes, 288);
                std::fill(sizes, sizes + 30, 5);
                fixedDistances.build(sizes, 30);
            }
            if (!inflateBlock(in, out, fixedLengths, fixedDistances, limit)) return {};
        } else if (type == 2) {
            Huffman lengths, distances;
            if (!dynamicCodes(in, lengths, distances) ||
                !inflateBlock(in, out, lengths, distances, limit))
                return {};
        } else {
            return {};
        }
    } while (!last);
    return out;
}

// --- PNG -----------------------------------------------------------------------------------

std::uint32_t bigEndian(const std::uint8_t* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

int paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

}  // namespace

Pixels decodePng(std::span<const std::uint8_t> file) {
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (file.size() < 8 || std::memcmp(file.data(), kSignature, 8) != 0) return {};
    std::uint32_t width = 0, height = 0;
    int channels = 0;
    std::vector<std::uint8_t> compressed;
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::uint32_t length = bigEndian(&file[at]);
        if (length > file.size() - at - 12) return {};
        const std::uint8_t* type = &file[at + 4];
        const std::uint8_t* data = &file[at + 8];
        if (std::memcmp(type, "IHDR", 4) == 0) {
            if (length < 13) return {};
            width = bigEndian(data);
            height = bigEndian(data + 4);
            // Bit depth 8; colour type 2 (RGB) or 6 (RGBA); deflate, adaptive filters, no
            // interlace.
            if (data[8] != 8 || (data[9] != 2 && data[9] != 6) || data[10] || data[11] || data[12])
                return {};
            channels = data[9] == 6 ? 4 : 3;
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            compressed.insert(compressed.end(), data, data + length);
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            break;
        }
        at += 12 + length;
    }
    if (width == 0 || height == 0 || width > 16384 || height > 16384 || channels == 0) return {};
    const std::size_t stride = static_cast<std::size_t>(width) * channels;
    const std::size_t size = (stride + 1) * height;
    std::vector<std::uint8_t> raw = inflate(compressed, size);
    if (raw.size() != size) return {};

    Pixels out;
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.data.resize(static_cast<std::size_t>(width) * height);
    const int bpp = channels;
    for (std::size_t y = 0; y < height; ++y) {
        std::uint8_t* row = &raw[y * (stride + 1) + 1];
        const std::uint8_t* up = y > 0 ? &raw[(y - 1) * (stride + 1) + 1] : nullptr;
        const int filter = row[-1];
        for (std::size_t i = 0; i < stride; ++i) {
            const int a = i >= static_cast<std::size_t>(bpp) ? row[i - bpp] : 0;
            const int b = up ? up[i] : 0;
            const int c = up && i >= static_cast<std::size_t>(bpp) ? up[i - bpp] : 0;
            int predicted = 0;
            switch (filter) {
                case 0:
                    break;
                case 1:
                    predicted = a;
                    break;
                case 2:
                    predicted = b;
                    break;
                case 3:
                    predicted = (a + b) / 2;
                    break;
                case 4:
                    predicted = paeth(a, b, c);
                    break;
                default:
                    return {};
            }
            row[i] = static_cast<std::uint8_t>(row[i] + predicted);
        }
        // Premultiplied BGRA, rounded as the Imaging Component rounds.
        std::uint32_t* target = &out.data[y * width];
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint8_t* p = &row[x * bpp];
            const std::uint32_t alpha = bpp == 4 ? p[3] : 255;
            auto scale = [alpha](std::uint32_t v) { return (v * alpha + 127) / 255; };
            target[x] = (alpha << 24) | (scale(p[0]) << 16) | (scale(p[1]) << 8) | scale(p[2]);
        }
    }
    return out;
}

}  // namespace tessmar::win32::art
