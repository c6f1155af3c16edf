// Arrays written as one separated text, and in-place removal from plain arrays.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tvgeneral {

// The integers in decimal, joined by `separator`; empty for no items.
std::string JoinInts(const int32_t* items, int32_t count, char separator);
// The texts joined by `separator`, as they are (a null item counts as empty). The texts are
// not escaped: the result is shown to people, and splitting gives the items back only when
// none of them holds the separator.
std::string JoinTexts(const char* const* items, int32_t count, char separator);

// The integers of a text written by JoinInts. Blanks around an item are ignored, and so are
// empty items and items that are not a 32-bit integer, so a damaged list yields the valid
// numbers it still holds rather than numbers that were never written.
std::vector<int32_t> SplitInts(std::string_view text, char separator);
// The pieces between separators. An empty text gives no items (so an array holding one
// empty text does not survive a round trip); "a," gives "a" and "".
std::vector<std::string> SplitTexts(std::string_view text, char separator);

// Removes item `index` by moving it to the end of the `count` items and returns count - 1;
// returns `count` unchanged when `index` is out of range. Keeping the removed item behind
// the new end, rather than dropping it, lets a caller that owns the items (texts from
// GetArrayStr) still free it, and a caller that does not own them loses nothing.
template <typename T>
int32_t RemoveItem(T* items, int32_t count, int32_t index) {
    if (items == nullptr || count <= 0 || index < 0 || index >= count) return count;
    std::rotate(items + index, items + index + 1, items + count);
    return count - 1;
}

}  // namespace tvgeneral
