#include "shell/calculator_host.h"

#include "platform/ansi_text.h"
#include "platform/command_guard.h"

namespace corvalo::shell {

deskcalc::CalculatorServices calculatorServicesFrom(platform::Clipboard& clipboard,
                                                    platform::Dialogs& dialogs) {
    deskcalc::CalculatorServices services;
    services.beep = [&dialogs] { dialogs.beep(); };
    services.clipboardText = [&clipboard, &dialogs] {
        std::optional<std::string> text;
        platform::guarded(dialogs, [&] {
            if (const std::optional<std::string> utf8 = clipboard.text()) {
                text = platform::utf8ToAnsi(*utf8);
            }
        });
        return text;
    };
    services.setClipboardText = [&clipboard, &dialogs](const std::string& ansi) {
        platform::guarded(dialogs, [&] { platform::writeAnsiText(clipboard, ansi); });
    };
    return services;
}

void setCalculatorDisplayFont(deskcalc::DeskCalculatorWidget& calculator, const QFont& font,
                              const QColor& colour) {
    calculator.setTapeFont(font, colour);
}

}  // namespace corvalo::shell
