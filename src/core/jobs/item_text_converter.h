#pragma once

#include <string>
#include <string_view>

namespace merovan::jobs {

// The outside conversion that item texts go through first (Cnv437869G). The program ships
// without it; a real one can be plugged in through JobContext.
class ItemTextConverter {
  public:
    virtual ~ItemTextConverter() = default;
    virtual std::string convert(std::string_view text, bool flag) const = 0;
};

// Stands in for the missing library: gives the text back unchanged.
class IdentityItemTextConverter final : public ItemTextConverter {
  public:
    std::string convert(std::string_view text, bool) const override { return std::string(text); }
};

}  // namespace merovan::jobs
