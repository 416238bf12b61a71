// Case mapping of single letters without a locale: ASCII and the Latin-1 letters, the
// letters of the names and key characters the program compares and shows.
#pragma once

namespace vantor {

constexpr char32_t ToUpperLetter(char32_t c) {
    if (c >= U'a' && c <= U'z') return c - 0x20;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;  // à-þ without ÷
    return c;
}

constexpr char32_t ToLowerLetter(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 0x20;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;  // À-Þ without ×
    return c;
}

}  // namespace vantor
