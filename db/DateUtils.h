// Calendar arithmetic on the runtime's date values: a date-time is a double
// counting days from 30 December 1899, the fraction being the time of day.
#pragma once

#include <string>

namespace vcl {

bool IsLeapYear(int year);
// Days of `month` in `year`; 0 for a month outside 1..12.
int DaysInMonth(int year, int month);
// True for a real calendar date of the years 1..9999.
bool IsValidDate(int year, int month, int day);
// False (and `date` untouched) when the parts are not a real date.
bool TryEncodeDate(int year, int month, int day, double& date);
// The date value of a real date; raises plat::Exception otherwise.
double EncodeDate(int year, int month, int day);
void DecodeDate(double date, int& year, int& month, int& day);
double EncodeTime(int hour, int minute, int second, int msec);
void DecodeTime(double date, int& hour, int& minute, int& second, int& msec);
// The local date (no time) and date-time now.
double Date();
double Now();
// "YYYYMMDD" of a date value.
std::string DateToYMD(double date);

}  // namespace vcl
