#pragma once

#include <QString>

#include <limits>

namespace ulv {

// Validity of the text of a numeric edit box.
enum NumTextValidity : int {
    NumTextValid = 0,
    NumTextOutOfRange = 1,
    NumTextNotANumber = 2,
    NumTextLoneSign = 3, // "+" or "-": a number being typed
};

inline constexpr float kNumEditLowest = std::numeric_limits<float>::lowest();
inline constexpr float kNumEditHighest = std::numeric_limits<float>::max();

// The message shown for an out-of-range or non-numeric text; empty for others.
QString NumTextMessage(int validity);

// A number with nothing but white space around it, read as a float without the
// locale. A value above maximum or not at least minimum is out of range.
// value (optional) receives the number when one was read.
int CheckNumText(const QString& text, float minimum, float maximum, float* value = nullptr);

// The decimal places a value needs: the characters after the '.' of its "%G"
// form (none when that form has no '.'). 2.5 needs 1, 0.125 needs 3, 3 and
// 1E-05 none.
int DecimalPlacesOf(float value);

// "%.<places>f" and the value written with it (no locale: always a '.').
QString FixedFormat(int places);
QString FormatFixed(float value, int places);

} // namespace ulv
