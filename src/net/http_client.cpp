#include "net/http_client.h"

#include "net/url_encode.h"

namespace corvalo::net {

const char* verbOf(CmdType method) {
    switch (method) {
        case CmdType::Get:
            return "GET ";
        case CmdType::Options:
            return "OPTIONS ";
        case CmdType::Head:
            return "HEAD ";
        case CmdType::Post:
            return "POST ";
        case CmdType::Put:
            return "PUT ";
        case CmdType::Patch:
            return "PATCH ";
        case CmdType::Copy:
            return "COPY ";
        case CmdType::Move:
            return "MOVE ";
        case CmdType::Delete:
            return "DELETE ";
        case CmdType::Link:
            return "LINK ";
        case CmdType::Unlink:
            return "UNLINK ";
        case CmdType::Trace:
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

void HttpClient::request(CmdType cmd, const std::string& requestUrl) {
    method = cmd;
    url = requestUrl;
    runExchanges();
}

void HttpClient::get(const std::string& requestUrl) {
    request(CmdType::Get, requestUrl);
}
void HttpClient::options(const std::string& requestUrl) {
    request(CmdType::Options, requestUrl);
}
void HttpClient::head(const std::string& requestUrl) {
    request(CmdType::Head, requestUrl);
}
void HttpClient::deleteResource(const std::string& requestUrl) {
    request(CmdType::Delete, requestUrl);
}

void HttpClient::post(const std::string& requestUrl, const std::string& data) {
    sendData = encodePostData && !outputFileMode ? formUrlEncode(data) : data;
    request(CmdType::Post, requestUrl);
}

void HttpClient::put(const std::string& requestUrl, const std::string& data) {
    sendData = data;
    request(CmdType::Put, requestUrl);
}

void HttpClient::patch(const std::string& requestUrl, const std::string& data) {
    sendData = data;
    request(CmdType::Patch, requestUrl);
}

void HttpClient::trace(const std::string& requestUrl, const std::string& data) {
    sendData = data;
    request(CmdType::Trace, requestUrl);
}

void HttpClient::copy(const std::string& requestUrl, const std::string& target) {
    targetUri = target;
    request(CmdType::Copy, requestUrl);
}

void HttpClient::move(const std::string& requestUrl, const std::string& target) {
    targetUri = target;
    request(CmdType::Move, requestUrl);
}

void HttpClient::link(const std::string& requestUrl, const std::string& linkTarget) {
    targetUri = linkTarget;
    sendData = "Send.dat";
    request(CmdType::Link, requestUrl);
}

void HttpClient::unlink(const std::string& requestUrl, const std::string& linkTarget) {
    targetUri = linkTarget;
    sendData = "Send.dat";
    request(CmdType::Unlink, requestUrl);
}

// ---- the exchanges --------------------------------------------------------------

void HttpClient::runExchanges() {
    for (int exchanges = 1;; ++exchanges) {
        parseUrl();
        buildRequest();
        if (onAboutToSend) onAboutToSend(*this);
        std::int64_t reply = 0;
        try {
            connect();
            sendRequest();
            setReplyNumber(0);
            readReplyHeader();
            if (inputFileMode) {
                captureFile(body);
            } else {
                captureString(body, maxBodyLength);
            }
            reply = replyNumber();
            if (reply == kMalformedStatus || reply > 399) {
                if (onFailure) onFailure(method);
            } else if (reply < 299) {
                if (onSuccess) onSuccess(method);
                statusMessage(StatusLevel::Outcome, "Transaction Completed");
            } else if (reply >= 300 && reply <= 302) {
                url = location;
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
            if (url.find('/') == std::string::npos) {
                const std::string portText = port == 80 ? "" : ":" + std::to_string(port);
                url = "http://" + host + portText + "/" + url;
            }
        }
        if (reply == 401 && onAuthenticationNeeded) onAuthenticationNeeded(*this);
        if (reply < 299 || reply > 399) return;
        if (exchanges >= kMaxExchanges) throw corvalo::Error("Too many redirections");
    }
}

}  // namespace corvalo::net
