#include "shell/result_copy.h"

#include <QStackedWidget>
#include <optional>
#include <string>

#include "clipcalc/format.h"
#include "deskcalc/qt/desk_calculator_widget.h"
#include "shell/grid_page.h"
#include "shell/window_rules.h"

namespace corvalo::shell {

void ResultCopy::copy(CopyForm form) {
    if (pageAt(pages_.currentIndex()) == Page::Grid) {
        const std::string text = form == CopyForm::Plain
                                     ? clipcalc::formatResultPlain(calc_, calc_.lastResult)
                                     : trimControl(gridPage_.displayCaption());
        platform::writeAnsiText(clipboard_, text);
        return;
    }
    // The entry is never grouped, so both forms copy it alike. While the calculator
    // shows its error it beeps and nothing is copied.
    if (const std::optional<std::string> text = calculator_.entryTextToCopy()) {
        platform::writeAnsiText(clipboard_, trimControl(*text));
    }
}

}  // namespace corvalo::shell
