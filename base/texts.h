// The language text table: one string per "tc_" key, filled from a language file.
// Texts are UTF-8. A key missing from the file, or not in the table at all, gives "".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// Loads the file and fills every key of the table from the children of its `config` root;
// the first element of a key's name gives its text. Every text is empty when the file
// cannot be read or has no `config` root; parse errors elsewhere do not stop the loading.
// Safe to call while other threads read texts.
void LoadTexts(const std::string& path);

// Every key of the table, in load order, each once: the 200 texts of the table, then the
// texts of the program's own additions.
const std::vector<std::string>& TextKeys();

// The text of a key, e.g. Text("tc_msg25").
std::string Text(std::string_view key);

// The text of a key, or `fallback` when the language file leaves it empty.
std::string TextOr(std::string_view key, std::string_view fallback);

}  // namespace vantor
