#include "base/string_format.h"

#include <cstdio>

namespace vantor {

std::string StringPrintfV(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed <= 0) return {};
    std::string text(static_cast<std::size_t>(needed) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<std::size_t>(needed));
    return text;
}

std::string StringPrintf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = StringPrintfV(format, args);
    va_end(args);
    return text;
}

}  // namespace vantor
