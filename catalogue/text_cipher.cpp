#include "catalogue/text_cipher.h"

#include <random>

namespace vorthal {

namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";

void AppendHexPair(std::string& out, unsigned value) {
    out.push_back(kHexDigits[(value >> 4) & 0xFu]);
    out.push_back(kHexDigits[value & 0xFu]);
}

std::optional<unsigned> HexDigitValue(char digit) {
    if (digit >= '0' && digit <= '9') return static_cast<unsigned>(digit - '0');
    if (digit >= 'A' && digit <= 'F') return static_cast<unsigned>(digit - 'A' + 10);
    if (digit >= 'a' && digit <= 'f') return static_cast<unsigned>(digit - 'a' + 10);
    return std::nullopt;
}

std::optional<unsigned> HexPairValue(std::string_view hex, std::size_t position) {
    const std::optional<unsigned> high = HexDigitValue(hex[position]);
    const std::optional<unsigned> low = HexDigitValue(hex[position + 1]);
    if (!high || !low) return std::nullopt;
    return (*high << 4) | *low;
}

// The key byte for text byte `index`; the key repeats from its first byte.
unsigned KeyByte(std::string_view key, std::size_t index) {
    if (key.empty()) return 0;
    return static_cast<std::uint8_t>(key[index % key.size()]);
}

} // namespace

std::string EncipherText(std::string_view text, std::string_view key, std::uint8_t startByte) {
    std::string hex;
    hex.reserve(2 + 2 * text.size());
    unsigned state = startByte;
    AppendHexPair(hex, state);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned byte = static_cast<std::uint8_t>(text[i]);
        state = ((state + byte) % 255u) ^ KeyByte(key, i);
        AppendHexPair(hex, state);
    }
    return hex;
}

std::string EncipherText(std::string_view text, std::string_view key) {
    // The start byte only varies the look of the file; a generator seeded once from the system
    // keeps saving a million lines free of a system call per line.
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<unsigned> startByte(0, 255);
    return EncipherText(text, key, static_cast<std::uint8_t>(startByte(generator)));
}

std::optional<std::string> DecipherText(std::string_view hex, std::string_view key) {
    if (hex.size() < 2 || hex.size() % 2 != 0) return std::nullopt;
    std::optional<unsigned> previous = HexPairValue(hex, 0);
    if (!previous) return std::nullopt;
    std::string text;
    text.reserve(hex.size() / 2 - 1);
    for (std::size_t position = 2; position < hex.size(); position += 2) {
        const std::optional<unsigned> cipher = HexPairValue(hex, position);
        if (!cipher) return std::nullopt;
        const unsigned value = *cipher ^ KeyByte(key, text.size());
        // value - previous, or value - previous + 255 when that would not be above 0.
        const unsigned byte = *previous < value ? value - *previous : value + 255u - *previous;
        text.push_back(static_cast<char>(static_cast<std::uint8_t>(byte)));
        previous = cipher;
    }
    return text;
}

} // namespace vorthal
