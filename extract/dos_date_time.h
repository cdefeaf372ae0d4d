// Day counts (days since 30 December 1899, the fraction being the time of
// day) and the packed DOS date and time.
#pragma once
#include <cstdint>

struct CivilTime {
    int year, month, day, hour, minute, second, millisecond;
};

// Rounds to the nearest millisecond and splits in the proleptic Gregorian
// calendar. False for values too large to have a date.
bool CivilFromDayCount(double days, CivilTime* time);

// The packed DOS date and time, or 0 for years before 1980 or after 2099
// (and for values with no date at all).
uint32_t PackDosDateTime(double days);

// Seconds since 1970-01-01 00:00 as a day count.
double DayCountFromUnixTime(int64_t seconds);
// And back, to the nearest second (the builder's; the stub does not call it).
int64_t UnixTimeFromDayCount(double days);
