#include "shell/calculator_host.h"

#include "platform/ansi_text.h"
#include "platform/qt/command_guard.h"

namespace corvalo::shell {

calculator::CalculatorServices CalculatorServicesFrom(platform::Clipboard& clipboard,
                                                      platform::Dialogs& dialogs) {
    calculator::CalculatorServices services;
    services.beep = [&dialogs] { dialogs.Beep(); };
    services.clipboardText = [&clipboard, &dialogs] {
        std::optional<std::string> text;
        platform::Guarded(dialogs, [&] {
            if (const std::optional<std::string> utf8 = clipboard.Text()) {
                text = platform::Utf8ToAnsi(*utf8);
            }
        });
        return text;
    };
    services.setClipboardText = [&clipboard, &dialogs](const std::string& ansi) {
        platform::Guarded(dialogs, [&] { platform::WriteAnsiText(clipboard, ansi); });
    };
    return services;
}

void SetCalculatorDisplayFont(calculator::TOvcCalculator& calculator, const QFont& font,
                              const QColor& colour) {
    calculator.SetTapeFont(font, colour);
}

}  // namespace corvalo::shell
