// The family's reversible text cipher. Its output is stored by other programs (passwords
// in USERS, settings), so the algorithm is fixed bit for bit: a byte-wise autokey cipher
// with a 16-bit key register, written as upper-case hexadecimal pairs.
#pragma once

#include <string>
#include <string_view>

namespace sec {

// Two upper-case hexadecimal digits per byte of `plain`.
std::string EncryptText(std::string_view plain);

// Inverse of EncryptText. Pairs are read from the start, digits in either case; decoding
// ends at the first pair that is not hexadecimal, at a lone digit left at the end of an
// odd-length text (it is ignored), and at a pair that would decode to a NUL byte (a C text
// cannot carry it). The result holds the bytes decoded before that point.
std::string DecryptText(std::string_view cipher);

}  // namespace sec
