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
    http_.Port = 0;
    http_.ReportLevel = 0;
    http_.ProxyPort = 0;
    http_.OnSuccess = [this](CmdType cmd) { nmhttpAskLatestVersionSuccess(cmd); };
    http_.OnFailure = [this](CmdType cmd) { nmhttpAskLatestVersionFailure(cmd); };
    http_.OnConnectionFailed = [this](TPowersock&) { nmhttpAskLatestVersionConnectionFailed(); };
    http_.OnInvalidHost = [this](bool& handled) { nmhttpAskLatestVersionInvalidHost(handled); };
    // A close while a redirect is answered: follow it no further.
    http_.OnRedirect = [this](bool& handled) { handled = closing_; };
}

std::string VersionCheck::CheckUrl(const std::string& updateHost) {
    return "http://" + updateHost + "/versions/corvalo.htm";
}

std::string VersionCheck::DownloadAddress(const std::string& downloadHost) {
    return downloadHost + "/corvalo/install.exe";
}

std::int32_t VersionCheck::ProxyPortFromText(const std::string& text) {
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

std::string VersionCheck::NewerVersionMessage(const std::string& body) const {
    return " A newer version of " + config_.ExeName + " exists! (" +
           body.substr(0, kVersionLength) +
           ")\r\n Download link: " + DownloadAddress(config_.DownloadHost);
}

std::string VersionCheck::SameVersionMessage() {
    return " There is no new version available.\r\n You currently have the latest version. ";
}

std::string VersionCheck::ErrorMessage(const std::string& errorText) {
    return "Version request error: " + errorText;
}

void VersionCheck::GuardPump::ProcessMessages() {
    inner_.ProcessMessages();
    // Checked after the events: a close or a second command may have come in them.
    if (owner_.closing_ || owner_.clock_.NowMs() >= owner_.deadline_) owner_.http_.Abort();
}

void VersionCheck::Run(const std::string& proxy, const std::string& proxyPort) {
    // One request at a time: a repeated command while one waits is ignored.
    if (running_) return;
    running_ = true;
    closing_ = false;
    succeeded_ = false;
    errorText_.clear();
    deadline_ = clock_.NowMs() + config_.DeadlineMs;

    http_.InputFileMode = false;
    http_.OutputFileMode = false;
    http_.ReportLevel = 2;
    http_.TimeOut = config_.TimeOutMs;
    http_.MaxBodyLength = config_.MaxBodyLength;
    if (!proxy.empty()) {
        http_.Proxy = proxy;
        http_.ProxyPort = ProxyPortFromText(proxyPort);
    }
    try {
        http_.Get(CheckUrl(config_.UpdateHost));
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
        sink_.ShowVersionMessage(ErrorMessage(errorText_));
        return;
    }
    const std::string& body = http_.Body;
    // "1.01 beta" against "1.01": same; "1.0" or "" against "1.01": newer.
    if (body.substr(0, kVersionLength) == config_.VersionText.substr(0, kVersionLength)) {
        sink_.ShowVersionMessage(SameVersionMessage());
    } else {
        sink_.ShowVersionMessage(NewerVersionMessage(body));
    }
}

bool VersionCheck::CloseWhenIdle(std::function<void()> close) {
    if (!running_) return false;
    closing_ = true;
    close_ = std::move(close);
    http_.Abort();
    return true;
}

void VersionCheck::nmhttpAskLatestVersionSuccess(CmdType) {
    // No status line at all (the server closed at once) is no answer, not a success.
    if (http_.ReplyNumber() == 0) {
        succeeded_ = false;
        errorText_ = "Operation Failed.";
        return;
    }
    succeeded_ = true;
    errorText_.clear();
}

void VersionCheck::nmhttpAskLatestVersionFailure(CmdType) {
    succeeded_ = false;
    errorText_ = "Operation Failed.";
}

void VersionCheck::nmhttpAskLatestVersionConnectionFailed() {
    succeeded_ = false;
    errorText_ = "Connection Failed.";
}

void VersionCheck::nmhttpAskLatestVersionInvalidHost(bool& handled) {
    succeeded_ = false;
    errorText_ = "Invalid Host.";
    handled = false;
}

}  // namespace corvalo::net
