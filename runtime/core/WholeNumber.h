// Whole numbers typed by people (command line, replay files): strict decimal, range-checked.
#pragma once

#include <string_view>

// Parses an optionally signed decimal number made of digits only, within [lo, hi]; false otherwise.
bool ParseWholeNumber(std::string_view text, long long lo, long long hi, long long& out);
