#include "platform/web_address.h"

#include <algorithm>

namespace platform {

std::optional<std::string> absolute_web_address(std::string_view address) {
    const auto is_prefix = [&](std::string_view prefix) { return address.starts_with(prefix); };
    if (std::none_of(std::begin(kWebAddressPrefixes), std::end(kWebAddressPrefixes), is_prefix)) return std::nullopt;
    std::string absolute = address.starts_with("www.") || address.starts_with("WWW.") ? "http://" : "";
    for (const char c : address) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return std::nullopt;
        if (c == ' ')
            absolute += "%20";
        else if (c == '"')
            absolute += "%22";
        else
            absolute += c;
    }
    return absolute;
}

} // namespace platform
