#include "tools/vantorctl/output.h"

#include <cstdio>

namespace vantor::cli {

Json Json::Object() {
    return Json();
}

Json Json::Array() {
    Json json;
    json.kind_ = Kind::kArray;
    return json;
}

Json Json::String(std::string_view text) {
    Json json;
    json.kind_ = Kind::kString;
    json.scalar_ = "\"" + JsonEscape(text) + "\"";
    return json;
}

Json Json::Number(std::int64_t value) {
    Json json;
    json.kind_ = Kind::kNumber;
    json.scalar_ = std::to_string(value);
    return json;
}

Json Json::Bool(bool value) {
    Json json;
    json.kind_ = Kind::kBool;
    json.scalar_ = value ? "true" : "false";
    return json;
}

Json& Json::Set(std::string_view key, Json value) {
    members_.emplace_back(std::string(key), std::move(value));
    return *this;
}

Json& Json::Push(Json value) {
    items_.push_back(std::move(value));
    return *this;
}

std::string Json::Dump() const {
    std::string out;
    switch (kind_) {
        case Kind::kObject:
            out += '{';
            for (std::size_t i = 0; i < members_.size(); ++i) {
                if (i > 0) out += ',';
                out += "\"" + JsonEscape(members_[i].first) + "\":" + members_[i].second.Dump();
            }
            out += '}';
            break;
        case Kind::kArray:
            out += '[';
            for (std::size_t i = 0; i < items_.size(); ++i) {
                if (i > 0) out += ',';
                out += items_[i].Dump();
            }
            out += ']';
            break;
        default:
            out = scalar_;
    }
    return out;
}

std::string JsonEscape(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x",
                                  static_cast<unsigned char>(c));
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out;
}

std::string Hex(std::uint64_t value, int digits) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%0*llx", digits,
                  static_cast<unsigned long long>(value));
    return buffer;
}

}  // namespace vantor::cli
