#include "extract/dos_date_time.h"

namespace {

constexpr double kMillisecondsPerDay = 86400000.0;
constexpr int32_t kUnixEpochDay = 25569;  // 1 January 1970

// Civil date of a day number counted from 1 January 1970, through 400-year
// eras that start on 1 March.
void CivilFromDayNumber(int32_t z, int* year, int* month, int* day) {
    z += 719468;
    int32_t era = (z >= 0 ? z : z - 146096) / 146097;
    int32_t dayOfEra = z - era * 146097;
    int32_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int32_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    int32_t mp = (5 * dayOfYear + 2) / 153;
    *day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    *month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    *year = static_cast<int>(yearOfEra + era * 400 + (*month <= 2));
}

}  // namespace

bool CivilFromDayCount(double days, CivilTime* time) {
    // Far beyond any file date, and keeps the day number in 32 bits. Only
    // 32-bit conversions: the stub calls no runtime helper for them.
    if (!(days > -1e9 && days < 1e9)) return false;
    int32_t dayNumber = static_cast<int32_t>(days);
    double fraction = days - dayNumber;  // exact
    if (fraction < 0) {
        fraction += 1;
        --dayNumber;
    }
    int32_t ofDay = static_cast<int32_t>(fraction * kMillisecondsPerDay + 0.5);
    if (ofDay >= static_cast<int32_t>(kMillisecondsPerDay)) {
        ofDay = 0;
        ++dayNumber;
    }
    CivilFromDayNumber(dayNumber - kUnixEpochDay, &time->year, &time->month, &time->day);
    time->hour = static_cast<int>(ofDay / 3600000);
    time->minute = static_cast<int>(ofDay / 60000 % 60);
    time->second = static_cast<int>(ofDay / 1000 % 60);
    time->millisecond = static_cast<int>(ofDay % 1000);
    return true;
}

uint32_t PackDosDateTime(double days) {
    CivilTime t;
    if (!CivilFromDayCount(days, &t) || t.year < 1980 || t.year > 2099) return 0;
    uint32_t date = static_cast<uint32_t>(t.day | t.month << 5 | (t.year - 1980) << 9);
    uint32_t timeOfDay = static_cast<uint32_t>(t.second / 2 | t.minute << 5 | t.hour << 11);
    return date << 16 | timeOfDay;
}

double DayCountFromUnixTime(int64_t seconds) {
    return static_cast<double>(kUnixEpochDay) + static_cast<double>(seconds) / 86400.0;
}

int64_t UnixTimeFromDayCount(double days) {
    return static_cast<int64_t>((days - kUnixEpochDay) * 86400.0 + 0.5);
}
