#include "net/version_check.h"

#include <exception>
#include <limits>
#include <utility>

#ifndef CORVALO_UPDATE_HOST
#define CORVALO_UPDATE_HOST "www.corvalo.com"
#endif
#ifndef CORVALO_DOWNLOAD_HOST
#define CORVALO_DOWNLOAD_HOST "www.corvalo.com"
#endif

namespace corvalo::net {

const char* const kDefaultUpdateHost = CORVALO_UPDATE_HOST;
const char* const kDefaultDownloadHost = CORVALO_DOWNLOAD_HOST;

namespace {
constexpr std::size_t kVersionLength = 4;
}

VersionCheck::VersionCheck(MessagePump& pump, const Clock& clock, VersionMessageSink& sink,
                           VersionCheckConfig config, const HostResolver::Options& resolverOptions)
    : guardPump_(pump, *this),
      clock_(clock),
      sink_(sink),
      config_(std::move(config)),
      http_(guardPump_, clock, resolverOptions) {
    http_.port = 0;
    http_.reportLevel = StatusLevel::Off;
    http_.proxyPort = 0;
    http_.onSuccess = [this](CmdType cmd) { onVersionReplyOk(cmd); };
    http_.onFailure = [this](CmdType cmd) { onVersionReplyFailed(cmd); };
    http_.onConnectionFailed = [this](TcpClient&) { onConnectionFailed(); };
    http_.onInvalidHost = [this](bool& handled) { onInvalidHost(handled); };
    // A close while a redirect is answered: follow it no further.
    http_.onRedirect = [this](bool& handled) { handled = closing_; };
}

std::string VersionCheck::checkUrl(const std::string& updateHost) {
    return "http://" + updateHost + "/versions/corvalo.htm";
}

std::string VersionCheck::downloadAddress(const std::string& downloadHost) {
    return downloadHost + "/corvalo/install.exe";
}

std::int32_t VersionCheck::proxyPortFromText(const std::string& text) {
    std::size_t i = 0;
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        i = 1;
    }
    if (i == text.size()) return 0;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return 0;
        value = value * 10 + (text[i] - '0');
        if (value > std::numeric_limits<std::int32_t>::max()) return 0;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

std::string VersionCheck::newerVersionMessage(const std::string& body) const {
    return " A newer version of " + config_.exeName + " exists! (" +
           body.substr(0, kVersionLength) +
           ")\r\n Download link: " + downloadAddress(config_.downloadHost);
}

std::string VersionCheck::sameVersionMessage() {
    return " There is no new version available.\r\n You currently have the latest version. ";
}

std::string VersionCheck::errorMessage(const std::string& errorText) {
    return "Version request error: " + errorText;
}

void VersionCheck::GuardPump::processMessages() {
    inner_.processMessages();
    // Checked after the events: a close or a second command may have come in them.
    if (owner_.closing_ || owner_.clock_.nowMs() >= owner_.deadline_) owner_.http_.abort();
}

void VersionCheck::run(const std::string& proxy, const std::string& proxyPort) {
    // One request at a time: a repeated command while one waits is ignored.
    if (running_) return;
    running_ = true;
    closing_ = false;
    succeeded_ = false;
    errorText_.clear();
    deadline_ = clock_.nowMs() + config_.deadlineMs;

    http_.inputFileMode = false;
    http_.outputFileMode = false;
    http_.reportLevel = StatusLevel::Outcome;
    http_.timeoutMs = config_.timeOutMs;
    http_.maxBodyLength = config_.maxBodyLength;
    if (!proxy.empty()) {
        http_.proxy = proxy;
        http_.proxyPort = proxyPortFromText(proxyPort);
    }
    try {
        http_.get(checkUrl(config_.updateHost));
    } catch (const std::exception& e) {
        succeeded_ = false;
        // A failure that fired no event shows its own text.
        if (errorText_.empty()) errorText_ = e.what();
    }
    running_ = false;

    if (closing_) {
        closing_ = false;
        auto close = std::move(close_);
        close_ = nullptr;
        if (close) close();
        return;
    }
    if (!succeeded_) {
        sink_.showVersionMessage(errorMessage(errorText_));
        return;
    }
    const std::string& body = http_.body;
    // "1.01 beta" against "1.01": same; "1.0" or "" against "1.01": newer.
    if (body.substr(0, kVersionLength) == config_.versionText.substr(0, kVersionLength)) {
        sink_.showVersionMessage(sameVersionMessage());
    } else {
        sink_.showVersionMessage(newerVersionMessage(body));
    }
}

bool VersionCheck::closeWhenIdle(std::function<void()> close) {
    if (!running_) return false;
    closing_ = true;
    close_ = std::move(close);
    http_.abort();
    return true;
}

void VersionCheck::onVersionReplyOk(CmdType) {
    // No status line at all (the server closed at once) is no answer, not a success.
    if (http_.replyNumber() == 0) {
        succeeded_ = false;
        errorText_ = "Operation Failed.";
        return;
    }
    succeeded_ = true;
    errorText_.clear();
}

void VersionCheck::onVersionReplyFailed(CmdType) {
    succeeded_ = false;
    errorText_ = "Operation Failed.";
}

void VersionCheck::onConnectionFailed() {
    succeeded_ = false;
    errorText_ = "Connection Failed.";
}

void VersionCheck::onInvalidHost(bool& handled) {
    succeeded_ = false;
    errorText_ = "Invalid Host.";
    handled = false;
}

}  // namespace corvalo::net
