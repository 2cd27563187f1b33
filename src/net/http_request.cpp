// The request side of an HttpClient exchange: the URL taken apart, the header
// lines built and sent.
#include "net/http_client.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <limits>
#include <string_view>

#include "net/base64.h"

namespace corvalo::net {
namespace {

constexpr const char* kAcceptLine1 =
    "Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff";
constexpr const char* kAcceptLine2 =
    "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript";

// Position of the n-th '/' (from 1), or npos.
std::size_t nthSlash(const std::string& text, int n) {
    std::size_t pos = std::string::npos;
    for (int i = 0; i < n; ++i) {
        pos = text.find('/', pos == std::string::npos ? 0 : pos + 1);
        if (pos == std::string::npos) break;
    }
    return pos;
}

std::string toLower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// A whole 32-bit decimal number with an optional sign: "8080" -> 8080, "80a" -> false.
bool parseWholeNumber(std::string_view text, std::int32_t& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return false;
    std::int64_t number = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        number = number * 10 + (text[i] - '0');
        if (number > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return false;
    }
    if (negative) number = -number;
    if (number > std::numeric_limits<std::int32_t>::max()) return false;
    value = static_cast<std::int32_t>(number);
    return true;
}

bool carriesBody(CmdType method) {
    return method == CmdType::Post || method == CmdType::Put || method == CmdType::Patch;
}

}  // namespace

void HttpClient::parseUrl() {
    if (url.empty()) throw corvalo::Error("Empty URL");
    if (port == 0) port = 80;

    const bool hasDoubleSlash = url.find("//") != std::string::npos;
    if (hasDoubleSlash) {
        const std::size_t third = nthSlash(url, 3);
        path = third == std::string::npos ? std::string() : url.substr(third);
    } else {
        const std::size_t first = url.find('/');
        path = first == std::string::npos ? std::string() : url.substr(first);
    }
    if (path.size() > kMaxPathLength) path.resize(kMaxPathLength);

    const std::size_t colon = url.find(':');
    if (colon != std::string::npos) {
        // Only the port follows from the scheme: the request is HTTP whatever it names.
        const std::string scheme = toLower(url.substr(0, colon));
        if (scheme == "gopher") {
            port = 70;
        } else if (scheme == "ftp") {
            port = 21;
        } else if (scheme == "https") {
            throw corvalo::Error("HTTP Secure Socket is not supported");
        } else {
            port = 80;
        }
    }

    std::string hostPart;
    if (hasDoubleSlash) {
        const std::size_t second = nthSlash(url, 2);
        const std::size_t third = nthSlash(url, 3);
        hostPart = url.substr(second + 1,
                              third == std::string::npos ? std::string::npos : third - second - 1);
    } else if (url.front() != '/') {
        hostPart = url.substr(0, url.find('/'));
    }

    const std::size_t portColon = hostPart.find(':');
    if (portColon != std::string::npos) {
        const std::size_t next = hostPart.find(':', portColon + 1);
        const std::string portText = hostPart.substr(
            portColon + 1, next == std::string::npos ? std::string::npos : next - portColon - 1);
        std::int32_t number = 0;
        if (!parseWholeNumber(portText, number)) {
            throw corvalo::Error("'" + portText + "' is not a valid integer value");
        }
        port = number;
        hostPart.resize(portColon);
    }
    if (!hostPart.empty()) host = hostPart;

    if (path.empty()) {
        path = "/";
        url += "/";
    }
}

void HttpClient::buildRequest() {
    sendHeader.clear();
    sendHeader.add(std::string(verbOf(method)) + (proxy.empty() ? path : url) + " HTTP/1.0");
    if (!proxy.empty()) {
        sendHeader.add("Proxy-Connection: Keep-Alive");
        sendHeader.add("Host: " + host);
    }
    setHeaderValue(sendHeader, "Host", host);
    sendHeader.add(kAcceptLine1);
    sendHeader.add(kAcceptLine2);
    const RequestHeaders& h = requestHeaders;
    if (!h.localProgram.empty()) setHeaderValue(sendHeader, "User-Agent", h.localProgram);
    if (!h.localMailAddress.empty()) setHeaderValue(sendHeader, "From", h.localMailAddress);
    if (!h.cookie.empty()) setHeaderValue(sendHeader, "Cookie", h.cookie);
    if (!h.referer.empty()) setHeaderValue(sendHeader, "Referer", h.referer);
    if (!h.userId.empty() && !h.password.empty()) {
        setHeaderValue(sendHeader, "Authorization",
                       "Basic " + base64EncodeLine(h.userId + ":" + h.password));
    }
    sendHeader.add("Content-type: application/x-www-form-urlencoded");
    if (method == CmdType::Copy || method == CmdType::Move) {
        sendHeader.add("URI-header: " + targetUri);
    } else if (method == CmdType::Link || method == CmdType::Unlink) {
        sendHeader.add("Link: " + targetUri);
    }
    if (carriesBody(method)) {
        std::uintmax_t length = sendData.size();
        if (outputFileMode) {
            std::error_code ec;
            length = std::filesystem::file_size(sendData, ec);
            if (ec) throw corvalo::Error("Cannot open file \"" + sendData + "\"");
        }
        sendHeader.add("Content-Length: " + std::to_string(length));
    }
}

void HttpClient::sendRequest() {
    write(sendHeader.text());
    writeln("");
    if (!carriesBody(method)) return;
    if (outputFileMode) {
        sendFile(sendData);
    } else {
        write(sendData);
    }
}

}  // namespace corvalo::net
