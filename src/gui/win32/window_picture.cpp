#include "gui/win32/window_picture.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <vector>

namespace merovan::gui::win32 {
namespace {

// 24-bit rows are padded to four bytes.
int rowBytes(int width) {
    return (width * 3 + 3) & ~3;
}

// Picture rows top-down as RGB, from the bottom-up BGR rows GetDIBits gives.
std::vector<std::uint8_t> rgbRows(int width, int height, const std::vector<std::uint8_t>& pixels) {
    std::vector<std::uint8_t> rows;
    rows.reserve(static_cast<std::size_t>(width * 3 + 1) * height);
    for (int y = height - 1; y >= 0; --y) {
        rows.push_back(0);  // no filter
        const std::uint8_t* row = pixels.data() + static_cast<std::size_t>(rowBytes(width)) * y;
        for (int x = 0; x < width; ++x) {
            rows.insert(rows.end(), {row[x * 3 + 2], row[x * 3 + 1], row[x * 3]});
        }
    }
    return rows;
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

void putBig32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.insert(out.end(),
               {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
                static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)});
}

void putChunk(std::vector<std::uint8_t>& out, const char* type,
              const std::vector<std::uint8_t>& data) {
    putBig32(out, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    putBig32(out, crc32(typed.data(), typed.size()));
}

// A PNG whose picture data is stored without compression: a few more bytes than a compressed
// one, and no compression library to link. The tools that publish the pictures compress them.
std::vector<std::uint8_t> pngOf(int width, int height, const std::vector<std::uint8_t>& pixels) {
    const std::vector<std::uint8_t> rows = rgbRows(width, height, pixels);
    std::vector<std::uint8_t> stream{0x78, 0x01};
    std::uint32_t a = 1, b = 0;  // Adler-32
    for (std::size_t at = 0; at < rows.size() || at == 0;) {
        const std::size_t size = std::min<std::size_t>(rows.size() - at, 65535);
        const bool last = at + size == rows.size();
        stream.push_back(last ? 1 : 0);
        stream.insert(stream.end(),
                      {static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size >> 8),
                       static_cast<std::uint8_t>(~size), static_cast<std::uint8_t>(~size >> 8)});
        for (std::size_t i = at; i < at + size; ++i) {
            a = (a + rows[i]) % 65521;
            b = (b + a) % 65521;
        }
        stream.insert(stream.end(), rows.begin() + static_cast<std::ptrdiff_t>(at),
                      rows.begin() + static_cast<std::ptrdiff_t>(at + size));
        at += size;
        if (last) {
            break;
        }
    }
    putBig32(stream, (b << 16) | a);

    std::vector<std::uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    putBig32(header, static_cast<std::uint32_t>(width));
    putBig32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits a sample, RGB
    putChunk(out, "IHDR", header);
    putChunk(out, "IDAT", stream);
    putChunk(out, "IEND", {});
    return out;
}

std::vector<std::uint8_t> bmpOf(int width, int height, const std::vector<std::uint8_t>& pixels) {
    BITMAPFILEHEADER header{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;  // bottom-up, as GetDIBits gave it
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    header.bfType = 0x4D42;  // "BM"
    header.bfOffBits = sizeof(header) + sizeof(info);
    header.bfSize = static_cast<DWORD>(header.bfOffBits + pixels.size());
    std::vector<std::uint8_t> out(reinterpret_cast<const std::uint8_t*>(&header),
                                  reinterpret_cast<const std::uint8_t*>(&header) + sizeof(header));
    out.insert(out.end(), reinterpret_cast<const std::uint8_t*>(&info),
               reinterpret_cast<const std::uint8_t*>(&info) + sizeof(info));
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

bool writePicture(const std::filesystem::path& file, int width, int height,
                  const std::vector<std::uint8_t>& pixels) {
    const bool png = file.extension() == ".png" || file.extension() == ".PNG";
    const std::vector<std::uint8_t> bytes =
        png ? pngOf(width, height, pixels) : bmpOf(width, height, pixels);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

}  // namespace

std::string saveWindowPicture(HWND window, const std::filesystem::path& file) {
    RECT bounds{};
    if (!GetWindowRect(window, &bounds)) {
        return "the window is gone";
    }
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    if (width <= 0 || height <= 0) {
        return "the window has no size";
    }
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    // A window on the screen is copied as it is drawn, frame and menu bar included (Wine's
    // PrintWindow draws no child controls). A hidden one is asked to draw itself.
    constexpr UINT kRenderFullContent = 2;
    bool drawn = false;
    if (IsWindowVisible(window)) {
        HDC own = GetWindowDC(window);
        drawn = BitBlt(memory, 0, 0, width, height, own, 0, 0, SRCCOPY) != FALSE;
        ReleaseDC(window, own);
    } else {
        drawn = PrintWindow(window, memory, kRenderFullContent) != FALSE ||
                PrintWindow(window, memory, 0) != FALSE;
    }
    SelectObject(memory, previous);

    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(rowBytes(width)) * height);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const bool copied = drawn && GetDIBits(memory, bitmap, 0, static_cast<UINT>(height),
                                           pixels.data(), &info, DIB_RGB_COLORS) == height;
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!copied) {
        return "the window could not be drawn off-line";
    }
    if (!writePicture(file, width, height, pixels)) {
        return "cannot write " + file.string();
    }
    return {};
}

}  // namespace merovan::gui::win32
