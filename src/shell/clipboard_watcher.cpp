#include "shell/clipboard_watcher.h"

#include <exception>
#include <new>
#include <string_view>
#include <utility>

#include "clipcalc/watch.h"
#include "platform/ansi_text.h"
#include "platform/big_buffer.h"

namespace corvalo::shell {

namespace {

constexpr std::string_view kHintPrefix = "Corvalo: ";
constexpr std::string_view kTooLargeTip =
    "Over 8 MB of text: not calculated by itself.\nPress Calculate Clipboard to calculate it.";
constexpr std::string_view kTooLargeHint = "Over 8 MB of text: press Calculate Clipboard";

// A copied text, offered to the calculation as the clipboard's.
class OfferedText final : public platform::Clipboard {
  public:
    explicit OfferedText(std::optional<std::string> utf8) : utf8_(std::move(utf8)) {}
    std::optional<std::string> text() override { return utf8_; }
    void setText(const std::string&) override {}  // the calculation only reads

  private:
    std::optional<std::string> utf8_;
};

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

// "  Line one.  \r\n  Line two.  " -> "Line one.\nLine two.", as UTF-8.
std::string tipText(std::string_view message) {
    std::string tip;
    while (!message.empty()) {
        const std::size_t end = message.find('\n');
        const std::string_view line = trimmed(message.substr(0, end));
        if (!line.empty()) {
            if (!tip.empty()) tip += '\n';
            tip += line;
        }
        if (end == std::string_view::npos) break;
        message.remove_prefix(end + 1);
    }
    return platform::ansiToUtf8(tip);
}

// Counted on the side first: a name or a sentence must not wipe the last total.
std::string_view reasonNotToCalculate(platform::Clipboard& offered,
                                      const clipcalc::CalcState& calc) {
    platform::BigBuffer<char> text;
    const platform::Dashes dashes =
        calc.statementSigns ? platform::Dashes::AsMinus : platform::Dashes::Unmapped;
    if (!platform::readAnsiText(offered, text, {}, dashes)) return clipcalc::kMsgClipboardEmpty;
    const std::optional<std::int64_t> numbers =
        clipcalc::countClipboardNumbers(std::string_view(text.data(), text.size()), calc);
    if (!numbers) return clipcalc::kMsgClipboardEmpty;
    return *numbers < 2 ? clipcalc::kMsgTooFewNumbers : std::string_view();
}

std::string hintText(std::string_view utf8) {
    return std::string(kHintPrefix) + std::string(utf8);
}

}  // namespace

ClipboardWatcher::ClipboardWatcher(std::unique_ptr<platform::ClipboardWatch> watch,
                                   const clipcalc::CalcState& calc, WatchHooks hooks)
    : watch_(std::move(watch)), calc_(calc), hooks_(std::move(hooks)) {
    watch_->setChangeHandler([this](platform::WatchedText, std::optional<std::string> utf8) {
        textOffered(std::move(utf8));
    });
}

ClipboardWatcher::~ClipboardWatcher() {
    watch_->setChangeHandler({});
}

// Runs from the desktop's signal: nothing may escape into Qt, and no box opens.
void ClipboardWatcher::textOffered(std::optional<std::string> utf8) noexcept {
    try {
        try {
            calculateOffered(std::move(utf8));
        } catch (const std::bad_alloc&) {
            showMessage("Out of memory");
        } catch (const std::exception& e) {
            showMessage(e.what());  // an overflow: the grid holds the text, the total stays
        }
    } catch (...) {
        // Not even the status could be shown: the next copy tries again.
    }
}

void ClipboardWatcher::calculateOffered(std::optional<std::string> utf8) {
    if (utf8 && utf8->size() > clipcalc::kMaxWatchedText) {
        hooks_.showStatus(std::string(kTooLargeTip), hintText(kTooLargeHint));
        return;
    }
    OfferedText offered(std::move(utf8));
    if (const std::string_view stop = reasonNotToCalculate(offered, calc_); !stop.empty()) {
        showMessage(std::string(stop));
        return;
    }
    const clipcalc::CalculateOutcome outcome = hooks_.calculate(offered);
    const std::string total = platform::ansiToUtf8(trimmed(hooks_.caption()));
    hooks_.showStatus(tipText(outcome.messageText), hintText(total));
}

void ClipboardWatcher::showMessage(const std::string& message) {
    const std::string tip = tipText(message);
    hooks_.showStatus(tip, hintText(tip.substr(0, tip.find('\n'))));
}

}  // namespace corvalo::shell
