// One BPC frame: the 20 base-4 symbols sent in the 20 seconds that begin at
// second 0, 20 or 40 of a minute, and the encoder that fills it from a local
// calendar time.
#pragma once

#include <array>
#include <cstdint>

#include "signal/station_table.h"

// Symbol i is sent during second i of the frame; every value is 0..3.
using BpcFrame = std::array<std::uint8_t, 20>;

// Size of the scratch digit buffer; enough for any int in any base >= 2.
inline constexpr int kSplitDigitsCapacity = 32;

// Writes the base-`base` digits of value into digits, least significant
// first, and returns how many it wrote. A value of 0 or less writes nothing.
// A base below 2 writes nothing as well (it could never end).
int SplitDigits(int value, std::uint8_t (&digits)[kSplitDigitsCapacity], int base);

// Number of set bits in a 2-bit symbol; 0 for anything outside 0..3.
int CountSymbolBits(int symbol);

// Fills frame from the local time of the second that carries symbol 1
// (second 1, 21 or 41). weekday: 1 = Sunday ... 7 = Saturday. The caller
// zero-fills the frame: for any other second, symbol 1 keeps that 0.
void EncodeBpcFrame(int year, int month, int day, int weekday, unsigned hour, int minute, int second,
                    BpcFrame& frame);

// The frame as the station table's BPC row sends it: the symbols, with
// second 0 the reference second (its own shape, with no silence).
void ToStationFrame(const BpcFrame& symbols, StationFrame& frame);
