#pragma once

#include <string>
#include <string_view>

namespace merovan::link {

// Field index (from 0) of a register reply whose fields are separated by ":"; a field the
// reply does not contain is empty.
std::string replyField(std::string_view reply, std::size_t index);

}  // namespace merovan::link
