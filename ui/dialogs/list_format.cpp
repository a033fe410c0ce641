#include "ui/dialogs/list_format.h"

#include <cstdlib>

#include "core/owned_text.h"
#include "resources/string_ids.h"
#include "ui/dialogs/message_box.h"

namespace {

const int64_t kSecondsFrom1970To1980 = 315532800;
// 9999-12-31 23:59:59, the last moment the locale's date forms can show.
const int64_t kLatestSecond = 253402300799;

struct LocaleNumberFormat {
    char decimal[4] = ".";
    char thousand[4] = "";
    NUMBERFMTA format = {};
    bool read = false;
};

// Read once and kept: the size column asks for its text on every paint, and
// the locale changes only with a settings change the main window reports.
LocaleNumberFormat numberFormat;

// wsprintf's "%d" is 32 bits wide; sizes summed over a folder are not.
void formatInteger(int64_t value, char* out) {
    char digits[24];
    int length = 0;
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    do {
        digits[length++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    char* p = out;
    if (value < 0)
        *p++ = '-';
    while (length)
        *p++ = digits[--length];
    *p = '\0';
}

void localeNumber(const char* number, const NUMBERFMTA& format, char* out, int size) {
    if (GetNumberFormatA(LOCALE_USER_DEFAULT, 0, number, &format, out, size) <= 0)
        copyTextBounded(out, static_cast<size_t>(size), number);
}

}  // namespace

void updateNumberFormat() {
    LocaleNumberFormat& number = numberFormat;
    char value[16];
    number.format.LeadingZero =
        GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_ILZERO, value, sizeof value) ? std::atoi(value) : 1;
    // "3;0" means groups of three; atoi stops at the semicolon.
    number.format.Grouping =
        GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SGROUPING, value, sizeof value) ? std::atoi(value) : 3;
    number.format.NegativeOrder =
        GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_INEGNUMBER, value, sizeof value) ? std::atoi(value) : 1;
    if (!GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, number.decimal, sizeof number.decimal))
        copyTextBounded(number.decimal, sizeof number.decimal, ".");
    if (!GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, number.thousand, sizeof number.thousand))
        number.thousand[0] = '\0';
    number.format.lpDecimalSep = number.decimal;
    number.format.lpThousandSep = number.thousand;
    number.format.NumDigits = 0;
    number.read = true;
}

void formatSize(int64_t bytes, bool kilobyteForm, char* out, size_t size) {
    if (size == 0)
        return;
    if (!numberFormat.read)
        updateNumberFormat();
    // A copy: the digits after the decimal separator differ from call to call.
    NUMBERFMTA format = numberFormat.format;
    char numberText[48];
    UINT pattern;
    if (kilobyteForm) {
        // Rounded up without adding first, so that no size can overflow.
        formatInteger(bytes <= 0 ? 0 : bytes / 1024 + (bytes % 1024 != 0), numberText);
        pattern = STR_SIZE_KB;
    } else if (bytes < 1000) {
        formatInteger(bytes, numberText);
        pattern = STR_SIZE_BYTES;
    } else {
        int64_t unit = bytes <= 999999 ? 1024 : 1048576;
        int64_t whole = bytes / unit;
        int64_t hundredths = bytes % unit * 100 / unit;
        formatInteger(whole, numberText);
        char* end = numberText;
        while (*end)
            ++end;
        end[0] = '.';
        end[1] = static_cast<char>('0' + hundredths / 10);
        end[2] = static_cast<char>('0' + hundredths % 10);
        end[3] = '\0';
        format.NumDigits = whole < 10 ? 2 : whole < 100 ? 1 : 0;
        pattern = bytes <= 999999 ? STR_SIZE_KB_AND_BYTES : STR_SIZE_MB_AND_BYTES;
    }
    char first[128];
    localeNumber(numberText, format, first, sizeof first);
    char second[128] = "";
    if (!kilobyteForm) {
        formatInteger(bytes, numberText);
        format.NumDigits = 0;
        localeNumber(numberText, format, second, sizeof second);
    }
    // A pattern of at most 259 characters and two numbers of at most 127
    // stay below wsprintf's own limit of 1024, whatever the caller's size.
    char formatted[1025];
    wsprintfA(formatted, preloadedString(pattern), first, second);
    copyTextBounded(out, size, formatted);
}

bool secondsToSystemTime(int64_t seconds, SYSTEMTIME& out) {
    out = SYSTEMTIME{};
    if (seconds < kSecondsFrom1970To1980 || seconds > kLatestSecond)
        return false;
    int64_t days = seconds / 86400;
    int64_t rest = seconds % 86400;
    out.wHour = static_cast<WORD>(rest / 3600);
    out.wMinute = static_cast<WORD>(rest / 60 % 60);
    out.wSecond = static_cast<WORD>(rest % 60);
    // 1970-01-01 was a Thursday.
    out.wDayOfWeek = static_cast<WORD>((days + 4) % 7);
    // Calendar from the day count, counted in 400-year eras from 0000-03-01
    // so that the leap day falls at the end of each year; it keeps 2100 a
    // common year, where a plain every-fourth-year rule would not.
    int64_t shifted = days + 719468;
    int64_t era = shifted / 146097;
    int64_t dayOfEra = shifted - era * 146097;
    int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    int64_t month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
    out.wYear = static_cast<WORD>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    out.wMonth = static_cast<WORD>(month);
    out.wDay = static_cast<WORD>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    return true;
}

void formatDateTime(int64_t seconds, int32_t timeZoneBias, bool shortForm, char* out, size_t size) {
    if (size == 0)
        return;
    SYSTEMTIME time;
    int written = 0;
    int limit = size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(size);
    // 64 bits: the bias must not wrap a time stamp near either end of the
    // index's 32-bit range.
    if (seconds != 0 && secondsToSystemTime(seconds - timeZoneBias, time)) {
        written = GetDateFormatA(LOCALE_USER_DEFAULT, shortForm ? DATE_SHORTDATE : DATE_LONGDATE, &time, nullptr, out,
                                 limit);
        if (written > 0 && written < limit) {
            out[written - 1] = ' ';
            if (GetTimeFormatA(LOCALE_USER_DEFAULT, shortForm ? TIME_NOSECONDS : 0, &time, nullptr, out + written,
                               limit - written) > 0)
                return;
        }
    }
    copyTextBounded(out, size, preloadedString(STR_UNKNOWN));
}
