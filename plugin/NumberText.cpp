#include "NumberText.h"

#include <cmath>
#include <cstdint>

namespace number_text {
namespace {

constexpr int kWidth = 8;
constexpr char kHuge[] = "Huge!";
constexpr char kNotANumber[] = "NaN";

char digitOf(double value) { return static_cast<char>('0' + static_cast<int>(std::fmod(value, 10.0))); }

}  // namespace

void writeCut(const char* source, char* text, std::int32_t maxLen) {
    if (text == nullptr || maxLen < 0) return;
    std::int32_t length = 0;
    while (length < maxLen && source[length] != '\0') {
        text[length] = source[length];
        ++length;
    }
    text[length] = '\0';
}

void writeFloat(double value, char* text, std::int32_t maxLen) {
    if (std::isnan(value)) return writeCut(kNotANumber, text, maxLen);

    char result[2 * kWidth] = {};
    int length = 0;
    if (value < 0.0) {
        value = -value;
        if (value > 9999999.0) return writeCut(kHuge, text, maxLen);
        result[length++] = '-';
    } else if (value > 99999999.0) {
        return writeCut(kHuge, text, maxLen);
    }

    // Integer digits arrive least significant first; the range test bounds them to eight.
    char integerDigits[kWidth + 1];
    int digitCount = 0;
    double rest = std::floor(value);
    do {
        integerDigits[digitCount++] = digitOf(rest);
        rest /= 10.0;
    } while (rest >= 1.0 && digitCount < kWidth);
    while (digitCount > 0) result[length++] = integerDigits[--digitCount];

    if (length < kWidth) {
        result[length++] = '.';
        const int fractionCount = kWidth - length;
        char fractionDigits[kWidth];
        double scaled = std::fmod(value, 1.0) * std::pow(10.0, fractionCount);
        for (int i = 0; i < fractionCount; ++i) {
            if (scaled <= 0.0) {
                fractionDigits[i] = '0';
            } else {
                fractionDigits[i] = digitOf(scaled);
                scaled /= 10.0;
            }
        }
        for (int i = fractionCount - 1; i >= 0; --i) result[length++] = fractionDigits[i];
    }
    result[length] = '\0';
    writeCut(result, text, maxLen);
}

void writeInteger(std::int32_t value, char* text, std::int32_t maxLen) {
    if (value >= 100000000) return writeCut(kHuge, text, maxLen);

    char result[16] = {};
    int length = 0;
    // Widened so that the most negative value has a magnitude too.
    std::int64_t magnitude = value;
    if (magnitude < 0) {
        result[length++] = '-';
        magnitude = -magnitude;
    }
    bool started = false;
    for (std::int64_t divisor = 1000000000; divisor >= 1; divisor /= 10) {
        const std::int64_t digit = magnitude / divisor;
        magnitude -= digit * divisor;
        if (digit > 0 || started) {
            result[length++] = static_cast<char>('0' + digit);
            started = true;
        }
    }
    if (!started) result[length++] = '0';
    result[length] = '\0';
    writeCut(result, text, maxLen);
}

}  // namespace number_text
