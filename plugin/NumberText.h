#pragma once
// Number-to-text conversions behind the effect's parameter formatters. Pure functions, no
// allocation: safe on any thread.
//
// Each writes at most `maxLen` characters and a terminating zero into `text`, which holds
// `maxLen` + 1 bytes. A null `text` or a negative `maxLen` leaves everything untouched.

#include <cstdint>

namespace number_text {

// Eight characters: sign, integer digits, a point and fraction digits cut (not rounded) to fill
// the eight. "Huge!" beyond 99999999 (or -9999999), "NaN" for not-a-number. Integer parts that
// fill all eight characters on their own are written without the point.
void writeFloat(double value, char* text, std::int32_t maxLen);

// Decimal digits with a leading minus; "Huge!" from 100000000 upwards.
void writeInteger(std::int32_t value, char* text, std::int32_t maxLen);

// Copies `source` cut to `maxLen` characters, always terminated.
void writeCut(const char* source, char* text, std::int32_t maxLen);

}  // namespace number_text
