#pragma once

#include "clipcalc/calc_state.h"
#include "platform/clipboard.h"

class QStackedWidget;

namespace corvalo::deskcalc {
class DeskCalculatorWidget;
}

namespace corvalo::shell {

class GridPage;

// How Edit's copy commands give the grid page's result.
enum class CopyForm {
    AsShown,  // the display's text: «1,234.50»
    Plain,    // without thousands separators: «1234.50»
};

// Edit > Copy and Copy Plain: the grid page's result, or on the other pages the
// desk calculator's entry as it stands.
class ResultCopy final {
  public:
    ResultCopy(const QStackedWidget& pages, const GridPage& gridPage,
               deskcalc::DeskCalculatorWidget& calculator, const clipcalc::CalcState& calc,
               platform::Clipboard& clipboard)
        : pages_(pages),
          gridPage_(gridPage),
          calculator_(calculator),
          calc_(calc),
          clipboard_(clipboard) {}

    void copy(CopyForm form);

  private:
    const QStackedWidget& pages_;
    const GridPage& gridPage_;
    deskcalc::DeskCalculatorWidget& calculator_;
    const clipcalc::CalcState& calc_;
    platform::Clipboard& clipboard_;
};

}  // namespace corvalo::shell
