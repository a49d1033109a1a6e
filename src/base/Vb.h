#pragma once
// VB 6 arithmetic and text conversions the screen's rules are written in: Round, CSng,
// Format, Val/CDbl and the dd-mm-yyyy dates.
#include "base/Value.h"

#include <string>
#include <string_view>

namespace tesmira::vb {

// VB's Round: ties go to the even digit (0.125 -> 0.12, 2.5 -> 2, -2.5 -> -2).
// The tie is judged on the decimal value the user sees, not on its binary approximation:
// the scaled value counts as a tie when it lies within 1e-12 (relative, at least absolute)
// of .5, so 11.525 (stored 11.524999...) rounds to 11.52 and 0.135 to 0.14.
// digits must lie in 0..15 (throws Error otherwise); NaN and infinities pass unchanged.
double roundTo(double x, int digits);
inline double round2(double x) { return roundTo(x, 2); }
inline double round4(double x) { return roundTo(x, 4); }

// CSng: the value through single precision, kept as the double a Single shows
// (CSng(1.1) is 1.1, not 1.10000002384...), so quantities print and compare as typed.
// Throws Error when the value does not fit in a Single.
double toSingle(double x);

// Format for number patterns: '0' (digit always shown), '#' (digit when significant),
// ',' (thousands grouping), '.' (decimal point), '%' (value x 100, sign shown), quoted
// "text" and \c literals, other characters as literals. Up to three ';' sections:
// positive;negative;zero. The last shown digit is rounded half away from zero on the
// shortest decimal form of the value (2.675 -> "2.68" with "0.00").
// A negative value without its own section gets a leading '-' unless it shows as zero.
// Literals standing between digit placeholders are emitted after the number.
// An empty pattern gives the value as CStr would. Throws Error for NaN or infinities.
std::string formatNumber(double x, std::string_view pattern);

// A code field's code format applied to typed text. A mask made only of '0' pads
// all-digit text (blanks around it dropped) with leading zeros: "12" under "0000" ->
// "0012"; longer text is left whole. Every other mask ("@@@@", ">", "AAA-000") and any
// text that is not all digits leave the text exactly as typed: codes are never re-cased
// or space-padded.
std::string formatCode(std::string_view text, std::string_view mask);

// "dd-mm-yyyy", the screen's date text.
std::string formatDate(const Date& d);
// "yyyy-mm-dd hh:mm:ss", the timestamp written to Fecha_Ult_Modif.
std::string formatDateTime(const Date& d);
// Accepts "dd-mm-yyyy" (also with '/') and the ISO forms of Date::parseIso; the day must
// exist in its month. Throws Error otherwise.
Date parseDate(std::string_view text);

// VB's Val: the leading number of the text, blanks ignored, 0 when there is none
// ("12abc" -> 12, "1,234" -> 1, "" -> 0). Never throws.
double val(std::string_view text);
// VB's CDbl of a text: the whole text must be a number; thousands commas, a leading '$'
// and a trailing '%' (divides by 100) are accepted, so a formatted cell reads back.
// Throws Error for anything else, including empty text.
double cdbl(std::string_view text);

} // namespace tesmira::vb
