#pragma once

#include <string>

namespace merovan::common {

// A wall-clock date and time, local time, 24-hour clock.
struct DateTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// "DD/MM/YYYY hh:mm:ss", as result and log lines carry it.
std::string formatDateTime(const DateTime& at);
// "mm:ss", the time stamp of trace lines.
std::string formatMinuteSecond(const DateTime& at);
// "mm-dd-yyyy", the date written into param.ini.
std::string formatMonthDayYear(const DateTime& at);

}  // namespace merovan::common
