// An amount spelt in English words, as written on a cheque.
#pragma once

#include <string>

namespace tvgeneral {

// The amount rounded to hundredths (half away from zero, on the amount as written in
// decimal), in words: whole part in American style without "and"
// ("one thousand two hundred thirty-four"), tens and units hyphenated ("thirty-four"),
// then " and NN/100" when there are hundredths. Zero is "zero"; a negative amount starts
// with "minus " (unless it rounds to zero). Amounts that are not finite or whose size is a
// quadrillion or more give an empty text.
std::string AmountInWords(double amount);

}  // namespace tvgeneral
