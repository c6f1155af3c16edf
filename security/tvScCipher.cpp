#include "tvScCipher.h"

#include <cstdint>

namespace sec {
namespace {

constexpr uint16_t kStartKey = 31907;
constexpr uint16_t kMultiplier = 16736;
constexpr uint16_t kIncrement = 9593;

// The key register after enciphered byte `x`; every step modulo 65536.
uint16_t NextKey(uint16_t key, uint8_t x) {
    return static_cast<uint16_t>((static_cast<uint32_t>(static_cast<uint16_t>(key + x)) *
                                      kMultiplier + kIncrement) & 0xFFFFu);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string EncryptText(std::string_view plain) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(plain.size() * 2);
    uint16_t key = kStartKey;
    for (char c : plain) {
        const auto x = static_cast<uint8_t>(static_cast<uint8_t>(c) ^ (key >> 8));
        out += kDigits[x >> 4];
        out += kDigits[x & 0x0F];
        key = NextKey(key, x);
    }
    return out;
}

std::string DecryptText(std::string_view cipher) {
    std::string out;
    out.reserve(cipher.size() / 2);
    uint16_t key = kStartKey;
    for (std::size_t i = 0; i + 1 < cipher.size(); i += 2) {
        const int high = HexValue(cipher[i]);
        const int low = HexValue(cipher[i + 1]);
        if (high < 0 || low < 0) break;
        const auto x = static_cast<uint8_t>(high * 16 + low);
        const auto plain = static_cast<char>(x ^ (key >> 8));
        if (plain == '\0') break;
        out += plain;
        key = NextKey(key, x);
    }
    return out;
}

}  // namespace sec
