// The language files the program ships, as the shipped cfg.ini lists them.
#pragma once

#include <string>
#include <vector>

namespace vantor::test {

// Paths relative to the source data folder: the default "text.xml" first, then
// "<folder>/text.xml" of every language of the shipped cfg.ini, in the order of its list.
std::vector<std::string> ShippedLanguageFiles();

}  // namespace vantor::test
