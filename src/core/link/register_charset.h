#pragma once

#include <string>
#include <string_view>

// Greek text for the register. All texts here are code page 1253 bytes.
namespace merovan::link {

// Converts item texts in the two directions the job interpreter needs.
class RegisterCharset {
  public:
    static constexpr int kToRegister = 0;     // Greek letters to the register's character codes
    static constexpr int kFromDosGreek = -1;  // DOS Greek (737) bytes read as 1253 to Greek letters

    // Converts text by mode into converted; any other mode leaves converted as it was.
    void convert(std::string_view text, int mode);
    const std::string& converted() const { return greekString_; }

  private:
    std::string greekString_;
};

// Text from the OEM code page (737) to the ANSI code page (1253), by table on every
// platform; NUL characters are removed and characters 1253 cannot hold become '?'.
std::string oemToAnsiText(std::string_view text);

// The VAT category named by a "ΛΠΣΜ" marker in an item description, or defaultCategory.
std::string descriptionVatCategory(std::string_view description, bool disable,
                                   std::string_view defaultCategory);

}  // namespace merovan::link
