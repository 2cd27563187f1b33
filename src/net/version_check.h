#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "corvalo/version.h"
#include "net/http_client.h"
#include "net/message_pump.h"

namespace corvalo::net {

// Build-time hosts; the build may set CORVALO_UPDATE_HOST and CORVALO_DOWNLOAD_HOST.
extern const char* const kDefaultUpdateHost;
extern const char* const kDefaultDownloadHost;

// Where the check shows its one message box.
class VersionMessageSink {
  public:
    virtual ~VersionMessageSink() = default;
    virtual void showVersionMessage(const std::string& text) = 0;
};

struct VersionCheckConfig {
    std::string updateHost = kDefaultUpdateHost;  // "host" or "host:port"
    std::string downloadHost = kDefaultDownloadHost;
    std::string versionText = kVersionText;  // only its first four characters count
    std::string exeName = "corvalo";         // the program's file name, as on disk
    std::int32_t timeOutMs = 30000;          // each wait of the request
    std::int64_t deadlineMs = 120000;        // the whole check, redirects included
    std::int32_t maxBodyLength = 4096;       // the body kept; the rest is not read
};

// Help > Check for latest version: asks the update host for its version file and
// tells the user whether a newer version exists. The window calls run() from its
// command and closeWhenIdle() from its close handler.
class VersionCheck {
  public:
    VersionCheck(MessagePump& pump, const Clock& clock, VersionMessageSink& sink,
                 VersionCheckConfig config = VersionCheckConfig{},
                 const HostResolver::Options& resolverOptions = HostResolver::Options{});
    VersionCheck(const VersionCheck&) = delete;
    VersionCheck& operator=(const VersionCheck&) = delete;

    // Runs the check with the proxy host and port texts of the settings and shows
    // one message. Ignored while a check is already waiting.
    void run(const std::string& proxy, const std::string& proxyPort);
    bool running() const { return running_; }

    // For the window's close: false when no check runs (close now). Otherwise the
    // check is cancelled, shows nothing, and calls `close` once its wait has
    // unwound, as the last thing it does (`close` may destroy this object).
    bool closeWhenIdle(std::function<void()> close);

    // The component, for its status and for tests.
    HttpClient& httpClient() { return http_; }

    // "http://" + host + "/versions/corvalo.htm"
    static std::string checkUrl(const std::string& updateHost);
    // host + "/corvalo/install.exe", without a scheme.
    static std::string downloadAddress(const std::string& downloadHost);
    // "8080" -> 8080; "80a", "" -> 0.
    static std::int32_t proxyPortFromText(const std::string& text);

    std::string newerVersionMessage(const std::string& body) const;
    static std::string sameVersionMessage();
    static std::string errorMessage(const std::string& errorText);

  private:
    // Runs the program's events and then enforces the deadline and a pending close.
    class GuardPump final : public MessagePump {
      public:
        GuardPump(MessagePump& inner, VersionCheck& owner) : inner_(inner), owner_(owner) {}
        void processMessages() override;

      private:
        MessagePump& inner_;
        VersionCheck& owner_;
    };

    void onVersionReplyOk(CmdType cmd);
    void onVersionReplyFailed(CmdType cmd);
    void onConnectionFailed();
    void onInvalidHost(bool& handled);

    GuardPump guardPump_;
    const Clock& clock_;
    VersionMessageSink& sink_;
    VersionCheckConfig config_;
    HttpClient http_;

    bool running_ = false;
    bool closing_ = false;
    std::function<void()> close_;
    std::int64_t deadline_ = 0;
    bool succeeded_ = false;
    std::string errorText_;
};

}  // namespace corvalo::net
