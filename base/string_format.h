// printf-style formatting into a std::string of any length. Formats are the program's own
// literals; a language text or any other outside string is never used as a format.
#pragma once

#include <cstdarg>
#include <string>

namespace vantor {

std::string StringPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string StringPrintfV(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

}  // namespace vantor
