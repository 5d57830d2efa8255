// A station's frame written as its documentation writes it: second 0 first.
// BPC's, a list with the row's separator: "0,3,1,...". Otherwise six rows of
// ten seconds. One-letter symbols run together and the rows
// stand on one line, a space apart ("M01000101M 000100111M ..."); two-letter
// symbols (MSF) stand a space apart, padded to two letters, a row per line.
#pragma once

#include <string>

#include "signal/station.h"

std::string StationFrameText(const Station& station, const StationFrame& frame);
