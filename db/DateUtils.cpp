// Date values to and from calendar parts, over Julian day numbers.
#include "DateUtils.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "Exceptions.h"

namespace vcl {

namespace {

constexpr long long kJulianDayOfZero = 2415019;   // Julian day number of 30 December 1899

long long JulianDay(int year, int month, int day) {
    long long a = (14 - month) / 12, y = year + 4800 - a, m = month + 12 * a - 3;
    return day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
}

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool IsValidDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && day >= 1 && day <= DaysInMonth(year, month);
}

bool TryEncodeDate(int year, int month, int day, double& date) {
    if (!IsValidDate(year, month, day)) return false;
    date = static_cast<double>(JulianDay(year, month, day) - kJulianDayOfZero);
    return true;
}

double EncodeDate(int year, int month, int day) {
    double date = 0;
    if (!TryEncodeDate(year, month, day, date)) throw plat::Exception("Invalid argument to date encode");
    return date;
}

void DecodeDate(double date, int& year, int& month, int& day) {
    long long jdn = static_cast<long long>(std::floor(date)) + kJulianDayOfZero;
    long long a = jdn + 32044, b = (4 * a + 3) / 146097, c = a - 146097 * b / 4;
    long long d = (4 * c + 3) / 1461, e = c - 1461 * d / 4, m = (5 * e + 2) / 153;
    day = static_cast<int>(e - (153 * m + 2) / 5 + 1);
    month = static_cast<int>(m + 3 - 12 * (m / 10));
    year = static_cast<int>(100 * b + d - 4800 + m / 10);
}

double EncodeTime(int hour, int minute, int second, int msec) {
    return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + msec) / 86400000.0;
}

void DecodeTime(double date, int& hour, int& minute, int& second, int& msec) {
    double fraction = std::fabs(date - std::floor(date));
    long long ms = std::llround(fraction * 86400000.0);
    if (ms >= 86400000) ms = 86399999;
    hour = static_cast<int>(ms / 3600000);
    minute = static_cast<int>(ms / 60000 % 60);
    second = static_cast<int>(ms / 1000 % 60);
    msec = static_cast<int>(ms % 1000);
}

double Now() {
    auto now = std::chrono::system_clock::now();
    std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    int ms = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           EncodeTime(local.tm_hour, local.tm_min, local.tm_sec, ms);
}

double Date() { return std::floor(Now()); }

std::string DateToYMD(double date) {
    int y, m, d;
    DecodeDate(date, y, m, d);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", y, m, d);
    return buf;
}

}  // namespace vcl
