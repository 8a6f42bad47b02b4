#pragma once

#include <iconv.h>

#include <optional>
#include <string>

namespace merovan::testing {

// The C library's own converter, as an independent reference for our code page tables.
class IconvTable {
  public:
    IconvTable(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~IconvTable() {
        if (valid()) {
            iconv_close(cd_);
        }
    }
    IconvTable(const IconvTable&) = delete;
    IconvTable& operator=(const IconvTable&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // The whole input converted, or no value when iconv refuses any of it.
    std::optional<std::string> convert(const std::string& input) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string in = input;
        std::string out(input.size() * 4 + 8, '\0');
        char* inPtr = in.data();
        char* outPtr = out.data();
        std::size_t inLeft = in.size();
        std::size_t outLeft = out.size();
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
            return std::nullopt;
        }
        out.resize(out.size() - outLeft);
        return out;
    }

    // One byte to its Unicode character, or no value for a byte the code page leaves undefined.
    std::optional<char32_t> decode(unsigned char byte) {
        const auto utf32 = convert(std::string(1, static_cast<char>(byte)));
        if (!utf32 || utf32->size() != 4) {
            return std::nullopt;
        }
        char32_t c = 0;
        for (int i = 3; i >= 0; --i) {
            c = (c << 8) | static_cast<unsigned char>((*utf32)[static_cast<std::size_t>(i)]);
        }
        return c;
    }

  private:
    iconv_t cd_;
};

}  // namespace merovan::testing
