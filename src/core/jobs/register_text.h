#pragma once

#include <string>
#include <string_view>

#include "core/jobs/item_text_converter.h"
#include "core/link/register_charset.h"

// Texts on their way to the register. All texts are code page 1253 bytes.
namespace merovan::jobs {

// The accented small vowels the register cannot print, folded to capitals.
std::string foldAccents(std::string_view text);

// Item texts: outside conversion, accents folded, (sale lines only) byte 131 read as "Δ",
// upper-cased and turned into the register's character codes.
std::string prepareRegisterText(std::string_view text, bool saleLine,
                                const ItemTextConverter& converter, link::RegisterCharset& greek);

// Comment and footer texts, which may be in DOS Greek: upper-cased, decoded, folded,
// upper-cased again and turned into register codes.
std::string prepareCommentText(std::string_view text, link::RegisterCharset& greek);

}  // namespace merovan::jobs
