#include "core/common/date_time.h"

#include <cstdio>

namespace merovan::common {

std::string formatDateTime(const DateTime& at) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d:%02d", at.day, at.month, at.year,
                  at.hour, at.minute, at.second);
    return text;
}

std::string formatMinuteSecond(const DateTime& at) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", at.minute, at.second);
    return text;
}

std::string formatMonthDayYear(const DateTime& at) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d-%02d-%04d", at.month, at.day, at.year);
    return text;
}

}  // namespace merovan::common
