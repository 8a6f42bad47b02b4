#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/common/operator.h"

namespace merovan::link {

// The register's text (UTF-8) for an error number written as the characters after "DE"
// (compared as text: "7" matches, "07" does not); no value when the table has no such row.
std::optional<std::string> registerErrorText(std::string_view numberText);

// Shows an error reply (CR and EOT already removed, beginning with "DE") to the operator:
// caption and critical message box, unless quiet. When not quiet and the number part is a
// number from 1 to 32767, registerStatus is set from it; otherwise it is left as it is.
void reportRegisterError(std::string_view reply, bool quiet, common::Operator& op,
                         std::int16_t& registerStatus);

}  // namespace merovan::link
