#include "net/nmhttp.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <limits>

#include "net/nmurl.h"
#include "net/uu_processor.h"

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
    return std::string(line.substr(0, TNMHTTP::kMaxPathLength));
}

bool carriesBody(CmdType method) {
    return method == CmdType::CmdPOST || method == CmdType::CmdPUT || method == CmdType::CmdPATCH;
}

}  // namespace

const char* VerbOf(CmdType method) {
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

TNMHTTP::TNMHTTP(MessagePump& pump, const Clock& clock,
                 const HostResolver::Options& resolverOptions)
    : TPowersock(pump, clock, resolverOptions) {}

void TNMHTTP::Abort() {
    setAsyncDone(true);
    TPowersock::Abort();
}

// ---- request operations ---------------------------------------------------------

void TNMHTTP::request(CmdType method, const std::string& url) {
    Method = method;
    URL = url;
    DoMethod();
}

void TNMHTTP::Get(const std::string& url) {
    request(CmdType::CmdGET, url);
}
void TNMHTTP::Options(const std::string& url) {
    request(CmdType::CmdOPTIONS, url);
}
void TNMHTTP::Head(const std::string& url) {
    request(CmdType::CmdHEAD, url);
}
void TNMHTTP::Delete(const std::string& url) {
    request(CmdType::CmdDELETE, url);
}

void TNMHTTP::Post(const std::string& url, const std::string& data) {
    if (EncodePostData && !OutputFileMode) {
        TNMURL encoder;
        encoder.InputString = data;
        SendData = encoder.Encode();
    } else {
        SendData = data;
    }
    request(CmdType::CmdPOST, url);
}

void TNMHTTP::Put(const std::string& url, const std::string& data) {
    SendData = data;
    request(CmdType::CmdPUT, url);
}

void TNMHTTP::Patch(const std::string& url, const std::string& data) {
    SendData = data;
    request(CmdType::CmdPATCH, url);
}

void TNMHTTP::Trace(const std::string& url, const std::string& data) {
    SendData = data;
    request(CmdType::CmdTRACE, url);
}

void TNMHTTP::Copy(const std::string& url, const std::string& target) {
    TargetURI = target;
    request(CmdType::CmdCOPY, url);
}

void TNMHTTP::Move(const std::string& url, const std::string& target) {
    TargetURI = target;
    request(CmdType::CmdMOVE, url);
}

void TNMHTTP::Link(const std::string& url, const std::string& link) {
    TargetURI = link;
    SendData = "Send.dat";
    request(CmdType::CmdLINK, url);
}

void TNMHTTP::Unlink(const std::string& url, const std::string& link) {
    TargetURI = link;
    SendData = "Send.dat";
    request(CmdType::CmdUNLINK, url);
}

// ---- the exchange ---------------------------------------------------------------

void TNMHTTP::DoMethod() {
    for (int exchanges = 1;; ++exchanges) {
        ParseURL();
        BuildRequest();
        if (OnAboutToSend) OnAboutToSend(*this);
        std::int16_t reply = 0;
        try {
            Connect();
            SendRequest();
            setReplyNumber(0);
            ReadReplyHeader();
            if (InputFileMode) {
                CaptureFile(Body);
            } else {
                CaptureString(Body, MaxBodyLength);
            }
            reply = ReplyNumber();
            if (reply < 299) {
                if (OnSuccess) OnSuccess(Method);
                StatusMessage(2, "Transaction Completed");
            } else if (reply > 399) {
                if (OnFailure) OnFailure(Method);
            } else if (reply >= 300 && reply <= 302) {
                URL = Location;
            }
        } catch (...) {
            // The request's own failure is what the caller needs to see.
            try {
                Disconnect();
            } catch (...) {
            }
            throw;
        }
        Disconnect();

        if (reply >= 300 && reply <= 398) {
            if (!ReceivedCookie.empty()) HeaderInfo.Cookie = ReceivedCookie;
            bool handled = false;
            if (OnRedirect) OnRedirect(handled);
            if (handled) return;
            // A bare name is taken on the same host and port:
            // "new.htm" from host:8080 -> "http://host:8080/new.htm".
            if (URL.find('/') == std::string::npos) {
                const std::string port = Port == 80 ? "" : ":" + std::to_string(Port);
                URL = "http://" + Host + port + "/" + URL;
            }
        }
        if (reply == 401 && OnAuthenticationNeeded) OnAuthenticationNeeded(*this);
        if (reply < 299 || reply > 399) return;
        if (exchanges >= kMaxExchanges) throw corvalo::Error("Too many redirections");
    }
}

void TNMHTTP::ParseURL() {
    if (URL.empty()) throw corvalo::Error("Empty URL");
    if (Port == 0) Port = 80;

    const bool hasDoubleSlash = URL.find("//") != std::string::npos;
    if (hasDoubleSlash) {
        const std::size_t third = nthSlash(URL, 3);
        Path = third == std::string::npos ? std::string() : URL.substr(third);
    } else {
        const std::size_t first = URL.find('/');
        Path = first == std::string::npos ? std::string() : URL.substr(first);
    }
    if (Path.size() > kMaxPathLength) Path.resize(kMaxPathLength);

    const std::size_t colon = URL.find(':');
    if (colon != std::string::npos) {
        // Only the port follows from the scheme: the request is HTTP whatever it names.
        const std::string scheme = toLower(URL.substr(0, colon));
        if (scheme == "gopher") {
            Port = 70;
        } else if (scheme == "ftp") {
            Port = 21;
        } else if (scheme == "https") {
            throw corvalo::Error("HTTP Secure Socket is not supported");
        } else {
            Port = 80;
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
        std::int32_t port = 0;
        if (!parseWholeNumber(portText, port)) {
            throw corvalo::Error("'" + portText + "' is not a valid integer value");
        }
        Port = port;
        hostPart.resize(portColon);
    }
    if (!hostPart.empty()) Host = hostPart;

    if (Path.empty()) {
        Path = "/";
        URL += "/";
    }
}

void TNMHTTP::BuildRequest() {
    SendHeader.Clear();
    SendHeader.Add(std::string(VerbOf(Method)) + (Proxy.empty() ? Path : URL) + " HTTP/1.0");
    if (!Proxy.empty()) {
        SendHeader.Add("Proxy-Connection: Keep-Alive");
        SendHeader.Add("Host: " + Host);
    }
    SetHeaderValue(SendHeader, "Host", Host);
    SendHeader.Add(kAcceptLine1);
    SendHeader.Add(kAcceptLine2);
    if (!HeaderInfo.LocalProgram.empty()) {
        SetHeaderValue(SendHeader, "User-Agent", HeaderInfo.LocalProgram);
    }
    if (!HeaderInfo.LocalMailAddress.empty()) {
        SetHeaderValue(SendHeader, "From", HeaderInfo.LocalMailAddress);
    }
    if (!HeaderInfo.Cookie.empty()) SetHeaderValue(SendHeader, "Cookie", HeaderInfo.Cookie);
    if (!HeaderInfo.Referer.empty()) SetHeaderValue(SendHeader, "Referer", HeaderInfo.Referer);
    if (!HeaderInfo.UserId.empty() && !HeaderInfo.Password.empty()) {
        SetHeaderValue(SendHeader, "Authorization",
                       "Basic " + EncodeBase64Line(HeaderInfo.UserId + ":" + HeaderInfo.Password));
    }
    SendHeader.Add("Content-type: application/x-www-form-urlencoded");
    if (Method == CmdType::CmdCOPY || Method == CmdType::CmdMOVE) {
        SendHeader.Add("URI-header: " + TargetURI);
    } else if (Method == CmdType::CmdLINK || Method == CmdType::CmdUNLINK) {
        SendHeader.Add("Link: " + TargetURI);
    }
    if (carriesBody(Method)) {
        std::uintmax_t length = SendData.size();
        if (OutputFileMode) {
            std::error_code ec;
            length = std::filesystem::file_size(SendData, ec);
            if (ec) throw corvalo::Error("Cannot open file \"" + SendData + "\"");
        }
        SendHeader.Add("Content-Length: " + std::to_string(length));
    }
}

void TNMHTTP::SendRequest() {
    Write(SendHeader.Text());
    Writeln("");
    if (!carriesBody(Method)) return;
    if (OutputFileMode) {
        SendFile(SendData);
    } else {
        Write(SendData);
    }
}

void TNMHTTP::ReadReplyHeader() {
    ContentLength = 0;
    ReceivedCookie.clear();
    std::ofstream headerFile;
    if (OutputFileMode) {
        headerFile.open(Header, std::ios::binary | std::ios::trunc);
        if (!headerFile) throw corvalo::Error("Cannot create file \"" + Header + "\"");
    } else {
        Header.clear();
    }
    std::size_t headerBytes = 0;
    const auto keep = [&](const std::string& line) {
        headerBytes += line.size();
        // A server that never ends its header must not fill the memory.
        if (headerBytes > kMaxHeaderBytes) throw corvalo::Error("Reply header too long");
        if (OutputFileMode) {
            headerFile.write(line.data(), static_cast<std::streamsize>(line.size()));
        } else {
            Header += line;
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
            ReceivedCookie = headerValue(line, 12);
        } else if (field == "LOCATION:") {
            Location = headerValue(line, 10);
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
            ContentLength = static_cast<std::int32_t>(length);
        }
        keep(line);
        if (line.empty() || line == "\n" || line == "\r\n") break;
    }
}

}  // namespace corvalo::net
