// The text transform of the scan info file: each fragment line is stored as hexadecimal digits,
// a random start byte followed by one enciphered byte per byte of the line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorthal {

// The key of every scan info file.
inline constexpr std::string_view kScanInfoKey = "VARDO";

// Enciphers `text` with `key` (used cyclically, first byte again after the last) from the start
// byte s: each byte b gives s := ((s + b) mod 255) XOR key byte. The result is 2 + 2n capital
// hexadecimal digits: s at start, then each new s. Bytes 1 to 254 come back exactly from
// DecipherText. Bytes 0 and 255 both come back as 255 (as 0 when the pair before them is FF);
// fragment lines hold neither. An empty key XORs nothing.
std::string EncipherText(std::string_view text, std::string_view key, std::uint8_t startByte);

// As above with a start byte drawn from a random source seeded once per thread by the system.
std::string EncipherText(std::string_view text, std::string_view key);

// The inverse of EncipherText. Digits of either case are read. Gives no value when `hex` is
// shorter than 2 digits, has an odd number of digits or holds anything but hexadecimal digits.
// Exactly 2 digits (a start byte only) give the empty text.
std::optional<std::string> DecipherText(std::string_view hex, std::string_view key);

} // namespace vorthal
