// Output of the command-line tool: plain text lines, or one JSON document with --json.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::cli {

// A tiny JSON value builder: objects keep their keys in insertion order.
class Json {
  public:
    static Json Object();
    static Json Array();
    static Json String(std::string_view text);
    static Json Number(std::int64_t value);
    static Json Bool(bool value);

    Json& Set(std::string_view key, Json value);  // objects
    Json& Push(Json value);                       // arrays
    std::string Dump() const;

  private:
    enum class Kind { kObject, kArray, kString, kNumber, kBool };
    Kind kind_ = Kind::kObject;
    std::string scalar_;
    std::vector<std::pair<std::string, Json>> members_;
    std::vector<Json> items_;
};

std::string JsonEscape(std::string_view text);
std::string Hex(std::uint64_t value, int digits = 0);  // "0x..." with at least `digits`

}  // namespace vantor::cli
