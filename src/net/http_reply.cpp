// The reply side of an HttpClient exchange: the status line and the header lines.
#include "net/http_client.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <limits>
#include <string_view>

namespace corvalo::net {
namespace {

std::string toUpper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// The line without its line end: "a\r\n" -> "a".
std::string_view withoutLineEnd(std::string_view line) {
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

// The code of a status line, its second field at single blanks, when it is three
// digits: "HTTP/1.0 200 OK\r\n" -> 200; "HTTP/1.0 65736" -> kMalformedStatus.
std::int64_t statusCodeOf(std::string_view line) {
    line = withoutLineEnd(line);
    const std::size_t blank = line.find(' ');
    if (blank == std::string_view::npos) return HttpClient::kMalformedStatus;
    std::string_view code = line.substr(blank + 1);
    code = code.substr(0, code.find(' '));
    if (code.size() != 3) return HttpClient::kMalformedStatus;
    std::int64_t number = 0;
    for (const char c : code) {
        if (c < '0' || c > '9') return HttpClient::kMalformedStatus;
        number = number * 10 + (c - '0');
    }
    return number;
}

// A header value that may go into the next request: the line from `offset` (0-based)
// without CR, LF and NUL, so it cannot end its header line early; at most 256 bytes.
std::string requestSafeValue(std::string_view line, std::size_t offset) {
    line = line.substr(std::min(offset, line.size()));
    std::string value;
    value.reserve(std::min(line.size(), HttpClient::kMaxPathLength));
    for (const char c : line) {
        if (c == '\r' || c == '\n' || c == '\0') continue;
        if (value.size() == HttpClient::kMaxPathLength) break;
        value.push_back(c);
    }
    return value;
}

// The run of digits after "Content-Length: "; 0 when there is none or it overflows.
std::int64_t contentLengthOf(std::string_view line, std::size_t offset) {
    std::int64_t length = 0;
    for (std::size_t i = offset; i < line.size(); ++i) {
        if (line[i] < '0' || line[i] > '9') break;
        const int digit = line[i] - '0';
        if (length > (std::numeric_limits<std::int64_t>::max() - digit) / 10) return 0;
        length = length * 10 + digit;
    }
    return length;
}

}  // namespace

void HttpClient::readReplyHeader() {
    contentLength = 0;
    receivedCookie.clear();
    std::ofstream headerFile;
    if (outputFileMode) {
        headerFile.open(header, std::ios::binary | std::ios::trunc);
        if (!headerFile) throw corvalo::Error("Cannot create file \"" + header + "\"");
    } else {
        header.clear();
    }
    std::size_t headerBytes = 0;
    const auto keep = [&](const std::string& line) {
        headerBytes += line.size();
        // A server that never ends its header must not fill the memory.
        if (headerBytes > kMaxHeaderBytes) throw corvalo::Error("Reply header too long");
        if (outputFileMode) {
            headerFile.write(line.data(), static_cast<std::streamsize>(line.size()));
        } else {
            header += line;
        }
    };

    const std::string status = readLine();
    if (!status.empty()) {
        setReplyNumber(statusCodeOf(status));
        keep(status);
    }

    for (;;) {
        const std::string line = readLine();
        const std::string field = toUpper(line.substr(0, line.find(' ')));
        const std::string_view value = withoutLineEnd(line);
        if (field == "SET-COOKIE:") {
            receivedCookie = requestSafeValue(value, 12);
        } else if (field == "LOCATION:") {
            location = requestSafeValue(value, 10);
        } else if (field == "CONTENT-LENGTH:") {
            contentLength = contentLengthOf(value, field.size() + 1);
        }
        keep(line);
        if (line.empty() || line == "\n" || line == "\r\n") break;
    }
}

}  // namespace corvalo::net
