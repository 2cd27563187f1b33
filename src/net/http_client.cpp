#include "net/http_client.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <limits>

#include "net/url_encode.h"
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

std::string toUpper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
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

// The line without its line end: "a\r\n" -> "a".
std::string_view withoutLineEnd(std::string_view line) {
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

// A header value: the line from `offset` (0-based), without its line end, at most 256.
std::string headerValue(std::string_view line, std::size_t offset) {
    line = withoutLineEnd(line);
    line = line.substr(std::min(offset, line.size()));
    return std::string(line.substr(0, HttpClient::kMaxPathLength));
}

bool carriesBody(CmdType method) {
    return method == CmdType::CmdPOST || method == CmdType::CmdPUT || method == CmdType::CmdPATCH;
}

}  // namespace

const char* verbOf(CmdType method) {
    switch (method) {
        case CmdType::CmdGET:
            return "GET ";
        case CmdType::CmdOPTIONS:
            return "OPTIONS ";
        case CmdType::CmdHEAD:
            return "HEAD ";
        case CmdType::CmdPOST:
            return "POST ";
        case CmdType::CmdPUT:
            return "PUT ";
        case CmdType::CmdPATCH:
            return "PATCH ";
        case CmdType::CmdCOPY:
            return "COPY ";
        case CmdType::CmdMOVE:
            return "MOVE ";
        case CmdType::CmdDELETE:
            return "DELETE ";
        case CmdType::CmdLINK:
            return "LINK ";
        case CmdType::CmdUNLINK:
            return "UNLINK ";
        case CmdType::CmdTRACE:
            return "TRACE ";
    }
    return "GET ";
}

HttpClient::HttpClient(MessagePump& pump, const Clock& clock,
                 const HostResolver::Options& resolverOptions)
    : TcpClient(pump, clock, resolverOptions) {}

void HttpClient::abort() {
    setAsyncDone(true);
    TcpClient::abort();
}

// ---- request operations ---------------------------------------------------------

void HttpClient::request(CmdType cmd, const std::string& url) {
    method = cmd;
    URL = url;
    doMethod();
}

void HttpClient::get(const std::string& url) {
    request(CmdType::CmdGET, url);
}
void HttpClient::Options(const std::string& url) {
    request(CmdType::CmdOPTIONS, url);
}
void HttpClient::head(const std::string& url) {
    request(CmdType::CmdHEAD, url);
}
void HttpClient::deleteResource(const std::string& url) {
    request(CmdType::CmdDELETE, url);
}

void HttpClient::post(const std::string& url, const std::string& data) {
    if (encodePostData && !outputFileMode) {
        UrlEncoder encoder;
        encoder.inputString = data;
        sendData = encoder.encode();
    } else {
        sendData = data;
    }
    request(CmdType::CmdPOST, url);
}

void HttpClient::put(const std::string& url, const std::string& data) {
    sendData = data;
    request(CmdType::CmdPUT, url);
}

void HttpClient::patch(const std::string& url, const std::string& data) {
    sendData = data;
    request(CmdType::CmdPATCH, url);
}

void HttpClient::trace(const std::string& url, const std::string& data) {
    sendData = data;
    request(CmdType::CmdTRACE, url);
}

void HttpClient::Copy(const std::string& url, const std::string& target) {
    targetURI = target;
    request(CmdType::CmdCOPY, url);
}

void HttpClient::move(const std::string& url, const std::string& target) {
    targetURI = target;
    request(CmdType::CmdMOVE, url);
}

void HttpClient::link(const std::string& url, const std::string& link) {
    targetURI = link;
    sendData = "Send.dat";
    request(CmdType::CmdLINK, url);
}

void HttpClient::unlink(const std::string& url, const std::string& link) {
    targetURI = link;
    sendData = "Send.dat";
    request(CmdType::CmdUNLINK, url);
}

// ---- the exchange ---------------------------------------------------------------

void HttpClient::doMethod() {
    for (int exchanges = 1;; ++exchanges) {
        parseURL();
        buildRequest();
        if (onAboutToSend) onAboutToSend(*this);
        std::int16_t reply = 0;
        try {
            Connect();
            sendRequest();
            setReplyNumber(0);
            readReplyHeader();
            if (inputFileMode) {
                captureFile(body);
            } else {
                captureString(body, maxBodyLength);
            }
            reply = replyNumber();
            if (reply < 299) {
                if (onSuccess) onSuccess(method);
                statusMessage(2, "Transaction Completed");
            } else if (reply > 399) {
                if (onFailure) onFailure(method);
            } else if (reply >= 300 && reply <= 302) {
                URL = location;
            }
        } catch (...) {
            // The request's own failure is what the caller needs to see.
            try {
                disconnect();
            } catch (...) {
            }
            throw;
        }
        disconnect();

        if (reply >= 300 && reply <= 398) {
            if (!receivedCookie.empty()) requestHeaders.cookie = receivedCookie;
            bool handled = false;
            if (onRedirect) onRedirect(handled);
            if (handled) return;
            // A bare name is taken on the same host and port:
            // "new.htm" from host:8080 -> "http://host:8080/new.htm".
            if (URL.find('/') == std::string::npos) {
                const std::string portText = port == 80 ? "" : ":" + std::to_string(port);
                URL = "http://" + host + portText + "/" + URL;
            }
        }
        if (reply == 401 && onAuthenticationNeeded) onAuthenticationNeeded(*this);
        if (reply < 299 || reply > 399) return;
        if (exchanges >= kMaxExchanges) throw corvalo::Error("Too many redirections");
    }
}

void HttpClient::parseURL() {
    if (URL.empty()) throw corvalo::Error("Empty URL");
    if (port == 0) port = 80;

    const bool hasDoubleSlash = URL.find("//") != std::string::npos;
    if (hasDoubleSlash) {
        const std::size_t third = nthSlash(URL, 3);
        path = third == std::string::npos ? std::string() : URL.substr(third);
    } else {
        const std::size_t first = URL.find('/');
        path = first == std::string::npos ? std::string() : URL.substr(first);
    }
    if (path.size() > kMaxPathLength) path.resize(kMaxPathLength);

    const std::size_t colon = URL.find(':');
    if (colon != std::string::npos) {
        // Only the port follows from the scheme: the request is HTTP whatever it names.
        const std::string scheme = toLower(URL.substr(0, colon));
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
        const std::size_t second = nthSlash(URL, 2);
        const std::size_t third = nthSlash(URL, 3);
        hostPart = URL.substr(second + 1,
                              third == std::string::npos ? std::string::npos : third - second - 1);
    } else if (URL.front() != '/') {
        hostPart = URL.substr(0, URL.find('/'));
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
        URL += "/";
    }
}

void HttpClient::buildRequest() {
    sendHeader.clear();
    sendHeader.add(std::string(verbOf(method)) + (proxy.empty() ? path : URL) + " HTTP/1.0");
    if (!proxy.empty()) {
        sendHeader.add("Proxy-Connection: Keep-Alive");
        sendHeader.add("Host: " + host);
    }
    setHeaderValue(sendHeader, "Host", host);
    sendHeader.add(kAcceptLine1);
    sendHeader.add(kAcceptLine2);
    if (!requestHeaders.localProgram.empty()) {
        setHeaderValue(sendHeader, "User-Agent", requestHeaders.localProgram);
    }
    if (!requestHeaders.localMailAddress.empty()) {
        setHeaderValue(sendHeader, "From", requestHeaders.localMailAddress);
    }
    if (!requestHeaders.cookie.empty()) setHeaderValue(sendHeader, "Cookie", requestHeaders.cookie);
    if (!requestHeaders.referer.empty()) setHeaderValue(sendHeader, "Referer", requestHeaders.referer);
    if (!requestHeaders.userId.empty() && !requestHeaders.password.empty()) {
        setHeaderValue(sendHeader, "Authorization",
                       "Basic " + encodeBase64Line(requestHeaders.userId + ":" + requestHeaders.password));
    }
    sendHeader.add("Content-type: application/x-www-form-urlencoded");
    if (method == CmdType::CmdCOPY || method == CmdType::CmdMOVE) {
        sendHeader.add("URI-header: " + targetURI);
    } else if (method == CmdType::CmdLINK || method == CmdType::CmdUNLINK) {
        sendHeader.add("Link: " + targetURI);
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
    Write(sendHeader.text());
    writeln("");
    if (!carriesBody(method)) return;
    if (outputFileMode) {
        sendFile(sendData);
    } else {
        Write(sendData);
    }
}

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

    const std::string status = ReadLn();
    if (!status.empty()) {
        // "HTTP/1.0 200 OK\r\n" -> 200; the line end is not part of the number.
        const std::string_view bare = withoutLineEnd(status);
        const std::size_t blank = bare.find(' ');
        std::int32_t number = 0;
        if (blank != std::string_view::npos) {
            const std::string_view rest = bare.substr(blank + 1);
            if (!parseWholeNumber(rest.substr(0, rest.find(' ')), number)) number = 0;
        }
        setReplyNumber(static_cast<std::int16_t>(number));
        keep(status);
    }

    for (;;) {
        const std::string line = ReadLn();
        const std::string field = toUpper(line.substr(0, line.find(' ')));
        if (field == "SET-COOKIE:") {
            receivedCookie = headerValue(line, 12);
        } else if (field == "LOCATION:") {
            location = headerValue(line, 10);
        } else if (field == "CONTENT-LENGTH:") {
            std::int64_t length = 0;
            for (std::size_t i = field.size() + 1; i < line.size(); ++i) {
                if (line[i] < '0' || line[i] > '9') break;
                length = length * 10 + (line[i] - '0');
                if (length > std::numeric_limits<std::int32_t>::max()) {
                    length = 0;
                    break;
                }
            }
            contentLength = static_cast<std::int32_t>(length);
        }
        keep(line);
        if (line.empty() || line == "\n" || line == "\r\n") break;
    }
}

}  // namespace corvalo::net
