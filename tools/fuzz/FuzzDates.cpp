// Fuzz target: the date, year-month, month-day, year, time, seconds and
// percent texts a user types, read under every date format kind and with
// any separator, and the stored texts shown again. Nothing may crash; a
// real stored date shown under kinds 1-3 reads back as the same date.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "data/FieldFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int kind = data[0] % 7;   // 0 and 6 are no kind: read as kind 1
    const size_t separatorLength = data[1] % 3;
    if (size < 2 + separatorLength) return 0;
    const std::string separator(reinterpret_cast<const char*>(data) + 2, separatorLength);
    const std::string text(reinterpret_cast<const char*>(data) + 2 + separatorLength, size - 2 - separatorLength);

    const std::string stored = fieldfmt::DisplayDateToDb(text, kind, separator);
    (void)fieldfmt::DisplayDateToValue(text, kind, separator);
    (void)fieldfmt::DbDateToDisplay(kind, separator, text);
    (void)fieldfmt::DbDateToValue(text);
    (void)fieldfmt::IsDbDate(stored);
    (void)fieldfmt::YMToDisplay(kind, separator, text);
    (void)fieldfmt::YMFromDisplay(kind, separator, text);
    (void)fieldfmt::YMValid(text);
    (void)fieldfmt::MDToDisplay(kind, separator, text);
    (void)fieldfmt::MDFromDisplay(kind, separator, text);
    (void)fieldfmt::MDValid(2024, text);
    (void)fieldfmt::YearToDisplay(kind, text);
    (void)fieldfmt::YearFromDisplay(kind, text);
    (void)fieldfmt::TimeToDisplay(text);
    (void)fieldfmt::TimeFromDisplay(text);
    (void)fieldfmt::TimeValid(text);
    int64_t seconds = 0;
    if (fieldfmt::SecondsFromDisplay(text, seconds)) (void)fieldfmt::SecondsToDisplay(seconds);
    (void)fieldfmt::TwoDigitsFromDisplay(text);
    (void)fieldfmt::DayValid(text);
    (void)fieldfmt::MonthValid(text);
    (void)fieldfmt::PercentFromDisplay(text);

    // A real date shown with a printable separator that is not a digit reads
    // back as itself (a company's separator is such a character).
    const char sep = separator.empty() ? '\0' : separator[0];
    if (fieldfmt::IsDbDate(text) && kind >= 1 && kind <= 3 && separator.size() == 1 && sep > ' ' && sep < 0x7F &&
        !(sep >= '0' && sep <= '9')) {
        const std::string shown = fieldfmt::DbDateToDisplay(kind, separator, text);
        if (fieldfmt::DisplayDateToDb(shown, kind, separator) != text) std::abort();
    }
    return 0;
}
