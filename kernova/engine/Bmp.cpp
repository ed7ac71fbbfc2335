// Strict reader of Windows bitmap files into an ink raster.
//
// Policy: anything outside the accepted forms is rejected with a message, never
// guessed at. Accepted: a 14-byte file header, an info header of 40, 52, 56, 108
// or 124 bytes, 1- and 8-bit paletted, 24-bit and 32-bit BI_RGB, and 32-bit
// BI_BITFIELDS; rows bottom-up (positive height) or top-down (negative height).
// Every offset and size is checked against the file with 64-bit arithmetic before
// anything is allocated; every byte is read through ByteReader.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <span>

#include "kernova/engine/Bmp.h"

namespace kernova {
namespace {

constexpr int kMaxDimension = 8192;
constexpr uint64_t kFileHeaderSize = 14;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
// The largest file an accepted image needs, with room for headers and trailing bytes.
constexpr uint64_t kMaxFileSize = uint64_t(kMaxDimension) * kMaxDimension * 4 + (1u << 20);

class ByteReader {
 public:
  explicit ByteReader(const std::vector<uint8_t>& bytes) : m_bytes(bytes) {}

  uint64_t size() const { return m_bytes.size(); }
  bool has(uint64_t offset, uint64_t length) const {
    return offset <= size() && length <= size() - offset;
  }
  // Reads are only made after has() confirmed the range; out of range gives zeros.
  uint32_t u32(uint64_t offset) const {
    std::span<const uint8_t> b = bytes(offset, 4);
    return b.empty() ? 0 : uint32_t(b[0] | b[1] << 8 | b[2] << 16 | uint32_t(b[3]) << 24);
  }
  uint16_t u16(uint64_t offset) const {
    std::span<const uint8_t> b = bytes(offset, 2);
    return b.empty() ? 0 : uint16_t(b[0] | b[1] << 8);
  }
  int32_t s32(uint64_t offset) const { return int32_t(u32(offset)); }
  std::span<const uint8_t> bytes(uint64_t offset, uint64_t length) const {
    if (!has(offset, length)) return {};
    return {m_bytes.data() + offset, size_t(length)};
  }

 private:
  const std::vector<uint8_t>& m_bytes;
};

// Field names follow BITMAPFILEHEADER / BITMAPINFOHEADER / BITMAPV5HEADER.
struct BmpHeader {
  uint32_t bfOffBits = 0;
  uint32_t biSize = 0;
  int32_t biWidth = 0;
  int32_t biHeight = 0;
  uint16_t biPlanes = 0;
  uint16_t biBitCount = 0;
  uint32_t biCompression = 0;
  uint32_t biClrUsed = 0;
};

struct ChannelMasks {
  uint32_t red = 0x00FF0000;
  uint32_t green = 0x0000FF00;
  uint32_t blue = 0x000000FF;
  uint32_t alpha = 0;  // 0: no alpha channel
};

// Where things are in the file, all validated against its size.
struct Layout {
  int width = 0;
  int height = 0;
  bool topDown = false;
  uint64_t headersEnd = 0;  // end of info header, masks and palette
  uint64_t paletteOffset = 0;
  uint32_t paletteCount = 0;
  uint64_t stride = 0;
  ChannelMasks masks;
};

std::string str(int64_t value) { return std::to_string(value); }

// Luminance below half of full scale (Rec. 601 weights, scaled by 1000).
bool isDark(unsigned red, unsigned green, unsigned blue) {
  return 299 * red + 587 * green + 114 * blue < 127500;
}

Status readHeader(const ByteReader& reader, BmpHeader& header) {
  if (!reader.has(0, 2) || reader.u16(0) != 0x4D42) return Status::failure("not a BMP file");
  if (!reader.has(0, kFileHeaderSize + 4)) return Status::failure("truncated BMP header");
  header.bfOffBits = reader.u32(10);
  header.biSize = reader.u32(14);
  switch (header.biSize) {
    case 40: case 52: case 56: case 108: case 124: break;
    default: return Status::failure("unsupported BMP header size " + str(header.biSize));
  }
  if (!reader.has(kFileHeaderSize, header.biSize)) return Status::failure("truncated BMP header");
  header.biWidth = reader.s32(18);
  header.biHeight = reader.s32(22);
  header.biPlanes = reader.u16(26);
  header.biBitCount = reader.u16(28);
  header.biCompression = reader.u32(30);
  header.biClrUsed = reader.u32(46);
  return Status::success();
}

Status checkFormat(const BmpHeader& header, Layout& layout) {
  if (header.biPlanes != 1) return Status::failure("invalid plane count " + str(header.biPlanes));
  if (header.biWidth < 1 || header.biWidth > kMaxDimension)
    return Status::failure("unsupported width " + str(header.biWidth) + " (1 to 8192)");
  int64_t height = header.biHeight;
  if (height == 0 || height < -kMaxDimension || height > kMaxDimension)
    return Status::failure("unsupported height " + str(height) + " (1 to 8192)");
  uint16_t bits = header.biBitCount;
  if (bits != 1 && bits != 8 && bits != 24 && bits != 32)
    return Status::failure("unsupported bit depth " + str(bits));
  bool bitfields = header.biCompression == kBiBitfields && bits == 32;
  if (header.biCompression != kBiRgb && !bitfields)
    return Status::failure("unsupported compression " + str(header.biCompression));
  layout.width = header.biWidth;
  layout.height = int(height < 0 ? -height : height);
  layout.topDown = height < 0;
  layout.stride = (uint64_t(layout.width) * bits + 31) / 32 * 4;
  return Status::success();
}

// A mask must be one run of set bits; channels must not overlap.
bool isContiguous(uint32_t mask) {
  if (mask == 0) return false;
  uint32_t low = mask & (~mask + 1);
  return ((mask + low) & mask) == 0;
}

Status readMasks(const ByteReader& reader, const BmpHeader& header, Layout& layout) {
  // A 40-byte header is followed by three masks; the larger headers hold them.
  uint64_t maskOffset = kFileHeaderSize + 40;
  if (header.biSize == 40) {
    if (!reader.has(maskOffset, 12)) return Status::failure("truncated BMP colour masks");
    layout.headersEnd += 12;
  }
  ChannelMasks& masks = layout.masks;
  masks.red = reader.u32(maskOffset);
  masks.green = reader.u32(maskOffset + 4);
  masks.blue = reader.u32(maskOffset + 8);
  masks.alpha = header.biSize >= 56 ? reader.u32(maskOffset + 12) : 0;
  bool valid = isContiguous(masks.red) && isContiguous(masks.green) && isContiguous(masks.blue) &&
               (masks.alpha == 0 || isContiguous(masks.alpha));
  uint32_t all = masks.red | masks.green | masks.blue | masks.alpha;
  uint64_t sum = uint64_t(masks.red) + masks.green + masks.blue + masks.alpha;
  if (!valid || sum != all) return Status::failure("invalid BMP colour masks");
  return Status::success();
}

Status checkPalette(const BmpHeader& header, Layout& layout) {
  if (header.biBitCount > 8) return Status::success();
  uint32_t capacity = 1u << header.biBitCount;
  if (header.biClrUsed > capacity)
    return Status::failure("palette of " + str(header.biClrUsed) + " colours is too large for " +
                           str(header.biBitCount) + "-bit pixels");
  layout.paletteCount = header.biClrUsed != 0 ? header.biClrUsed : capacity;
  layout.paletteOffset = layout.headersEnd;
  layout.headersEnd += uint64_t(layout.paletteCount) * 4;
  return Status::success();
}

Status checkPixelData(const ByteReader& reader, const BmpHeader& header, const Layout& layout) {
  if (header.bfOffBits < layout.headersEnd) {
    if (header.biBitCount <= 8 && header.bfOffBits >= layout.paletteOffset)
      return Status::failure("BMP palette is missing or cut short");
    return Status::failure("pixel data offset " + str(header.bfOffBits) +
                           " overlaps the BMP headers");
  }
  uint64_t needed = layout.stride * uint64_t(layout.height);
  if (!reader.has(header.bfOffBits, needed))
    return Status::failure("BMP pixel data is truncated (needs " + str(int64_t(needed)) +
                           " bytes at offset " + str(header.bfOffBits) + ", file has " +
                           str(int64_t(reader.size())) + ")");
  return Status::success();
}

Status readPaletteInk(const ByteReader& reader, const Layout& layout, std::vector<uint8_t>& ink) {
  std::span<const uint8_t> palette = reader.bytes(layout.paletteOffset, layout.paletteCount * 4ull);
  if (palette.size() != layout.paletteCount * 4ull) return Status::failure("truncated BMP palette");
  ink.resize(layout.paletteCount);
  for (size_t i = 0; i < ink.size(); ++i) {
    // Entries are blue, green, red, reserved.
    ink[i] = isDark(palette[4 * i + 2], palette[4 * i + 1], palette[4 * i]) ? 1 : 0;
  }
  return Status::success();
}

unsigned channel(uint32_t pixel, uint32_t mask) {
  if (mask == 0) return 255;
  unsigned shift = 0;
  while (((mask >> shift) & 1u) == 0) ++shift;
  uint64_t maximum = mask >> shift;
  return unsigned(((pixel & mask) >> shift) * 255 / maximum);
}

// A pixel under partial alpha is seen composited over white paper.
bool isDarkMasked(uint32_t pixel, const ChannelMasks& masks) {
  unsigned red = channel(pixel, masks.red);
  unsigned green = channel(pixel, masks.green);
  unsigned blue = channel(pixel, masks.blue);
  unsigned alpha = channel(pixel, masks.alpha);
  auto over = [alpha](unsigned c) { return (c * alpha + 255 * (255 - alpha)) / 255; };
  return isDark(over(red), over(green), over(blue));
}

struct RowDecoder {
  const Layout& layout;
  uint16_t bits;
  bool bitfields;
  const std::vector<uint8_t>& paletteInk;

  // Decodes one stored row into ink values; fails on a palette index out of range.
  Status decode(std::span<const uint8_t> row, uint8_t* ink) const {
    if (bits == 1 && paletteInk.size() >= 2) {  // every pixel value has its entry
      for (int x = 0; x < layout.width; ++x) ink[x] = paletteInk[(row[size_t(x) / 8] >> (7 - x % 8)) & 1u];
      return Status::success();
    }
    for (int x = 0; x < layout.width; ++x) {
      if (bits == 1 || bits == 8) {
        unsigned index = bits == 1 ? (row[size_t(x) / 8] >> (7 - x % 8)) & 1u : row[size_t(x)];
        if (index >= paletteInk.size())
          return Status::failure("pixel value " + str(index) + " has no BMP palette entry");
        ink[x] = paletteInk[index];
      } else {
        const uint8_t* p = row.data() + size_t(x) * (bits / 8);
        if (bitfields) {
          uint32_t pixel = p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
          ink[x] = isDarkMasked(pixel, layout.masks) ? 1 : 0;
        } else {
          ink[x] = isDark(p[2], p[1], p[0]) ? 1 : 0;
        }
      }
    }
    return Status::success();
  }
};

Status decodePixels(const ByteReader& reader, const BmpHeader& header, const Layout& layout,
                    InkBitmap& out) {
  std::vector<uint8_t> paletteInk;
  if (header.biBitCount <= 8) {
    if (Status palette = readPaletteInk(reader, layout, paletteInk); !palette) return palette;
  }
  RowDecoder decoder{layout, header.biBitCount, header.biCompression == kBiBitfields, paletteInk};
  InkBitmap bitmap;
  bitmap.width = layout.width;
  bitmap.height = layout.height;
  bitmap.ink.assign(size_t(layout.width) * size_t(layout.height), 0);
  for (int stored = 0; stored < layout.height; ++stored) {
    std::span<const uint8_t> row = reader.bytes(header.bfOffBits + stored * layout.stride,
                                                layout.stride);
    if (row.size() != layout.stride) return Status::failure("BMP pixel data is truncated");
    // Positive height stores the bottom row first.
    int y = layout.topDown ? stored : layout.height - 1 - stored;
    if (Status s = decoder.decode(row, &bitmap.ink[size_t(y) * size_t(layout.width)]); !s)
      return s;
  }
  out = std::move(bitmap);
  return Status::success();
}

// What a path that is not a regular file names, for the message that refuses it.
const char* kindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a named pipe";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  return "a special file";
}

// Reads a regular file whole. Opened without blocking, so a named pipe without a
// writer cannot hold the editor; anything but a regular file is refused before a
// byte is read.
Status readRegularFile(const std::string& path, std::vector<uint8_t>& bytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Status::failure("cannot open " + path + ": " + std::strerror(errno));
  struct FdCloser {
    int fd;
    ~FdCloser() { ::close(fd); }
  } closer{fd};
  struct stat info {};
  if (::fstat(fd, &info) != 0)
    return Status::failure("cannot read " + path + ": " + std::strerror(errno));
  if (!S_ISREG(info.st_mode))
    return Status::failure(path + " is " + kindOf(info.st_mode) + ", not a bitmap file");
  if (uint64_t(info.st_size) > kMaxFileSize)
    return Status::failure(path + ": file is too large for a bitmap of at most 8192 x 8192");
  bytes.resize(size_t(info.st_size));
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Status::failure("cannot read " + path + ": " + std::strerror(errno));
    if (got == 0) break;  // the file shrank since fstat
    done += size_t(got);
  }
  bytes.resize(done);
  return Status::success();
}

}  // namespace

Status readBmp(const std::vector<uint8_t>& bytes, InkBitmap& out) {
  ByteReader reader(bytes);
  BmpHeader header;
  if (Status s = readHeader(reader, header); !s) return s;
  Layout layout;
  if (Status s = checkFormat(header, layout); !s) return s;
  layout.headersEnd = kFileHeaderSize + header.biSize;
  if (header.biCompression == kBiBitfields) {
    if (Status s = readMasks(reader, header, layout); !s) return s;
  }
  if (Status s = checkPalette(header, layout); !s) return s;
  if (Status s = checkPixelData(reader, header, layout); !s) return s;
  return decodePixels(reader, header, layout, out);
}

Status readBmpFile(const std::string& path, InkBitmap& out) {
  std::vector<uint8_t> bytes;
  if (Status read = readRegularFile(path, bytes); !read) return read;
  if (Status s = readBmp(bytes, out); !s) return Status::failure(path + ": " + s.message());
  return Status::success();
}

}  // namespace kernova
