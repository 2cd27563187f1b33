#include "net/base64.h"

#include <algorithm>
#include <cstdint>

namespace corvalo::net {
namespace {

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// uuencode: 0 is the grave accent, 1 to 63 are the characters 33 to 95.
char uuChar(unsigned value) {
    return value == 0 ? '`' : static_cast<char>(value + 32);
}

unsigned uuValue(char c) {
    return (static_cast<unsigned>(static_cast<unsigned char>(c)) - 32U) & 0x3FU;
}

int base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

// Appends the Base64 of `in`, "=" filling the last group.
void appendBase64(std::string_view in, std::string& out) {
    std::size_t i = 0;
    for (; i + 3 <= in.size(); i += 3) {
        const auto b0 = static_cast<unsigned char>(in[i]);
        const auto b1 = static_cast<unsigned char>(in[i + 1]);
        const auto b2 = static_cast<unsigned char>(in[i + 2]);
        out.push_back(kBase64[b0 >> 2]);
        out.push_back(kBase64[((b0 & 0x03) << 4) | (b1 >> 4)]);
        out.push_back(kBase64[((b1 & 0x0F) << 2) | (b2 >> 6)]);
        out.push_back(kBase64[b2 & 0x3F]);
    }
    const std::size_t rest = in.size() - i;
    if (rest == 0) return;
    const auto b0 = static_cast<unsigned char>(in[i]);
    const unsigned b1 = rest > 1 ? static_cast<unsigned char>(in[i + 1]) : 0U;
    out.push_back(kBase64[b0 >> 2]);
    out.push_back(kBase64[((b0 & 0x03U) << 4) | (b1 >> 4)]);
    out.push_back(rest > 1 ? kBase64[(b1 & 0x0FU) << 2] : '=');
    out.push_back('=');
}

void appendUu(std::string_view in, std::string& out) {
    out.push_back(uuChar(static_cast<unsigned>(in.size())));
    for (std::size_t i = 0; i < in.size(); i += 3) {
        unsigned b[3] = {0, 0, 0};
        for (std::size_t k = 0; k < 3 && i + k < in.size(); ++k) {
            b[k] = static_cast<unsigned char>(in[i + k]);
        }
        out.push_back(uuChar(b[0] >> 2));
        out.push_back(uuChar(((b[0] & 0x03U) << 4) | (b[1] >> 4)));
        out.push_back(uuChar(((b[1] & 0x0FU) << 2) | (b[2] >> 6)));
        out.push_back(uuChar(b[2] & 0x3FU));
    }
}

}  // namespace

std::string base64Decode(std::string_view encoded) {
    std::string out;
    out.reserve(encoded.size() / 4 * 3);
    std::uint32_t bits = 0;
    int count = 0;
    for (const char c : encoded) {
        if (c == '=') break;
        const int v = base64Value(c);
        if (v < 0) continue;
        bits = (bits << 6) | static_cast<std::uint32_t>(v);
        if (++count == 4) {
            out.push_back(static_cast<char>((bits >> 16) & 0xFF));
            out.push_back(static_cast<char>((bits >> 8) & 0xFF));
            out.push_back(static_cast<char>(bits & 0xFF));
            bits = 0;
            count = 0;
        }
    }
    if (count >= 2) out.push_back(static_cast<char>((bits >> (6 * count - 8)) & 0xFF));
    if (count == 3) out.push_back(static_cast<char>((bits >> 2) & 0xFF));
    return out;
}

std::string uuDecode(std::string_view encoded) {
    std::string out;
    std::size_t pos = 0;
    while (pos < encoded.size()) {
        std::size_t end = encoded.find('\n', pos);
        if (end == std::string_view::npos) end = encoded.size();
        std::string_view line = encoded.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        const std::size_t length = uuValue(line[0]);
        if (length == 0) break;
        std::size_t taken = 0;
        for (std::size_t i = 1; i + 4 <= line.size() && taken < length; i += 4) {
            const unsigned v0 = uuValue(line[i]), v1 = uuValue(line[i + 1]);
            const unsigned v2 = uuValue(line[i + 2]), v3 = uuValue(line[i + 3]);
            const char bytes[3] = {static_cast<char>((v0 << 2) | (v1 >> 4)),
                                   static_cast<char>(((v1 & 0x0FU) << 4) | (v2 >> 2)),
                                   static_cast<char>(((v2 & 0x03U) << 6) | v3)};
            const std::size_t n = std::min<std::size_t>(3, length - taken);
            out.append(bytes, n);
            taken += n;
        }
    }
    return out;
}

std::string base64Encode(std::string_view input) {
    std::string out;
    out.reserve((input.size() / kBytesPerCodedLine + 1) * 62);
    for (std::size_t pos = 0; pos < input.size(); pos += kBytesPerCodedLine) {
        appendBase64(input.substr(pos, kBytesPerCodedLine), out);
        out.append("\r\n");
    }
    return out;
}

std::string base64EncodeLine(std::string_view input) {
    std::string out;
    out.reserve((input.size() + 2) / 3 * 4);
    appendBase64(input, out);
    return out;
}

std::string uuEncode(std::string_view input) {
    std::string out;
    out.reserve((input.size() / kBytesPerCodedLine + 2) * 63);
    for (std::size_t pos = 0; pos < input.size(); pos += kBytesPerCodedLine) {
        appendUu(input.substr(pos, kBytesPerCodedLine), out);
        out.append("\r\n");
    }
    out.append("`\r\n");
    return out;
}

}  // namespace corvalo::net
