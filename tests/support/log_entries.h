// Splitting a diagnostic log file into its entries: each entry starts a line with the
// "mm:ss.mmm   " time stamp; lines without one continue the entry before them (a message
// with a line feed of its own).
#pragma once

#include <string>
#include <vector>

namespace vantor::test {

// Each entry with its time stamp, without the line feed that ends it.
std::vector<std::string> LogEntries(const std::string& text);

}  // namespace vantor::test
