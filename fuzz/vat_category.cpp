// Item descriptions come from the POS program's job files in any code page; none of the Greek
// text conversions may read out of bounds or change a text's length where they promise not to.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/link/register_charset.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const bool disable = size > 0 && (data[0] & 1) != 0;
    const std::string category = merovan::link::descriptionVatCategory(text, disable, "D");
    if (category.empty()) {
        std::abort();
    }

    merovan::link::RegisterCharset vesko;
    for (const int mode : {merovan::link::RegisterCharset::kToRegister,
                           merovan::link::RegisterCharset::kFromDosGreek}) {
        vesko.convert(text, mode);
        if (vesko.converted().size() != text.size()) {
            std::abort();
        }
    }
    const std::string ansi = merovan::link::oemToAnsiText(text);
    if (ansi.size() > text.size() || ansi.find('\0') != std::string::npos) {
        std::abort();
    }
    return 0;
}
