#pragma once

#include <string>
#include <string_view>

#include "core/jobs/item_text_converter.h"
#include "core/link/greek_vesko.h"

// Texts on their way to the register. All texts are code page 1253 bytes.
namespace merovan::jobs {

// The accented small vowels the register cannot print, folded to capitals.
std::string FoldAccents(std::string_view text);

// Item texts: outside conversion, accents folded, (sale lines only) byte 131 read as "Δ",
// upper-cased and turned into the register's character codes.
std::string PrepareRegisterText(std::string_view text, bool saleLine,
                                const ItemTextConverter& converter, link::GreekVesko& greek);

// Comment and footer texts, which may be in DOS Greek: upper-cased, decoded, folded,
// upper-cased again and turned into register codes.
std::string PrepareCommentText(std::string_view text, link::GreekVesko& greek);

}  // namespace merovan::jobs
