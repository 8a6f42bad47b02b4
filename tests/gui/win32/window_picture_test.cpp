#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "gui/win32/window_picture.h"

namespace merovan::testing {
namespace {

std::vector<std::uint8_t> readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t big32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
           (std::uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
}

// The rows of a PNG whose data is stored uncompressed, each with its filter byte.
std::vector<std::uint8_t> storedRows(const std::vector<std::uint8_t>& png) {
    std::vector<std::uint8_t> stream;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::uint32_t size = big32(png, at);
        if (std::string(png.begin() + at + 4, png.begin() + at + 8) == "IDAT") {
            stream.insert(stream.end(), png.begin() + at + 8, png.begin() + at + 8 + size);
        }
        at += 12 + size;
    }
    std::vector<std::uint8_t> rows;
    for (std::size_t at = 2; at + 5 <= stream.size();) {
        const bool last = (stream[at] & 1) != 0;
        const std::size_t size = stream[at + 1] | (stream[at + 2] << 8);
        rows.insert(rows.end(), stream.begin() + at + 5, stream.begin() + at + 5 + size);
        at += 5 + size;
        if (last) {
            break;
        }
    }
    return rows;
}

// A plain window of one colour, 200 x 150 pixels: its rows take more than one stored block.
class PlainWindow {
  public:
    PlainWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hbrBackground = brush_;
        windowClass.lpszClassName = L"MerovanPictureTest";
        RegisterClassW(&windowClass);
        handle = CreateWindowExW(0, L"MerovanPictureTest", L"", WS_POPUP, 0, 0, 200, 150, nullptr,
                                 nullptr, windowClass.hInstance, nullptr);
    }
    ~PlainWindow() {
        DestroyWindow(handle);
        DeleteObject(brush_);
    }
    HWND handle;

  private:
    HBRUSH brush_ = CreateSolidBrush(RGB(200, 10, 40));
};

TEST(WindowPicture, WritesTheWindowAsPngOrBmp) {
    PlainWindow window;
    const auto dir = std::filesystem::temp_directory_path();
    ASSERT_EQ(gui::win32::saveWindowPicture(window.handle, dir / "plain.png"), "");
    const auto png = readBytes(dir / "plain.png");
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
    EXPECT_EQ(big32(png, 16), 200u);
    EXPECT_EQ(big32(png, 20), 150u);
    const auto rows = storedRows(png);
    ASSERT_EQ(rows.size(), 150u * (200 * 3 + 1));
    const std::size_t middle = 75 * (200 * 3 + 1) + 1 + 100 * 3;
    EXPECT_EQ(rows[middle], 200);
    EXPECT_EQ(rows[middle + 1], 10);
    EXPECT_EQ(rows[middle + 2], 40);

    ASSERT_EQ(gui::win32::saveWindowPicture(window.handle, dir / "plain.bmp"), "");
    const auto bmp = readBytes(dir / "plain.bmp");
    EXPECT_EQ(bmp.size(), 14u + 40 + 150 * 600);
    EXPECT_EQ(bmp[0], 'B');
    std::filesystem::remove(dir / "plain.png");
    std::filesystem::remove(dir / "plain.bmp");

    EXPECT_NE(gui::win32::saveWindowPicture(nullptr, dir / "none.png"), "");
}

}  // namespace
}  // namespace merovan::testing
