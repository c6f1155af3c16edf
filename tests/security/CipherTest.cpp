// The cipher is a stored format shared with other programs: fixed vectors worked out by
// hand from the algorithm, the properties callers rely on, and the decoding of input that
// Encrypt never produces.
#include <algorithm>
#include <cctype>

#include "SecurityTestKit.h"

namespace sectest {
namespace {

using CipherTest = SecurityTest;

// Bytes 1..255 over and over (NUL cannot be part of a C text).
std::string AllBytes(std::size_t length) {
    std::string s;
    for (std::size_t i = 0; i < length; ++i) s += static_cast<char>(1 + i % 255);
    return s;
}

TEST_F(CipherTest, KnownVectors) {
    // "a": 0x61 XOR (31907 >> 8 = 0x7C) = 0x1D. "ab": k = ((31907 + 0x1D) * 16736 + 9593)
    // mod 65536 = 44409, 0x62 XOR (44409 >> 8 = 0xAD) = 0xCF.
    const struct {
        std::string plain, cipher;
    } cases[] = {{"", ""},
                 {"a", "1D"},
                 {"ab", "1DCF"},
                 {"admin", "1DC92D5852"},
                 {"\xFF\x80", "8339"}};
    for (const auto& c : cases) {
        EXPECT_EQ(lib->Encrypt(c.plain), c.cipher) << c.plain;
        EXPECT_EQ(lib->Decrypt(c.cipher), c.plain) << c.cipher;
    }
}

TEST_F(CipherTest, RoundTripAndHexFormForEveryLength) {
    for (std::size_t length : {0u, 1u, 255u, 256u, 1000u}) {
        const std::string plain = AllBytes(length);
        const std::string cipher = lib->Encrypt(plain);
        ASSERT_EQ(cipher.size(), 2 * length);
        EXPECT_TRUE(std::all_of(cipher.begin(), cipher.end(), [](char c) {
            return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
        })) << length;
        EXPECT_EQ(lib->Decrypt(cipher), plain) << length;
        std::string lower = cipher;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](char c) { return static_cast<char>(std::tolower(c)); });
        EXPECT_EQ(lib->Decrypt(lower), plain) << length;
        EXPECT_EQ(lib->Encrypt(plain), cipher) << "deterministic";
    }
}

TEST_F(CipherTest, ChangesStayFromTheChangedCharacterOn) {
    const std::string a = lib->Encrypt("password1");
    const std::string b = lib->Encrypt("password2");
    EXPECT_EQ(a.substr(0, 16), b.substr(0, 16));
    EXPECT_NE(a.substr(16), b.substr(16));
    const std::string c = lib->Encrypt("xassword1");
    EXPECT_NE(a.substr(0, 2), c.substr(0, 2));
    // Autokey: the rest differs too, since the key depends on every enciphered byte.
    EXPECT_NE(a.substr(2), c.substr(2));
}

TEST_F(CipherTest, DecodingStopsWhereTheInputStopsBeingPairs) {
    const struct {
        const char* cipher;
        const char* plain;
    } cases[] = {
        {"1DC92D585", "admi"},     // odd length: the lone digit is ignored
        {"1DC9ZZ5852", "ad"},      // not a hexadecimal pair: the rest is dropped
        {"1DC9 2D5852", "ad"},     // a blank is no digit either
        {"+1DC9", ""},             // no sign, no prefix: only the digits count
        {"7C1D", ""},              // a pair that decodes to NUL ends the text
        {"1", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(lib->Decrypt(c.cipher), c.plain) << c.cipher;
}

}  // namespace
}  // namespace sectest

int main(int argc, char** argv) { return sectest::RunSecurityTests(argc, argv); }
