#pragma once

#include "clipcalc/calc_state.h"
#include "shell/settings.h"

namespace corvalo::shell {

class GridPage;
class MainMenu;

// Read Statement Signs and the Statistics Line: their check marks, the settings
// they keep, and what they switch on the grid page.
class GridOptions final {
  public:
    GridOptions(MainMenu& menu, GridPage& gridPage, clipcalc::CalcState& calc,
                ShellSettings& shell)
        : menu_(menu), gridPage_(gridPage), calc_(calc), shell_(shell) {}

    // Both options as the settings file left them.
    void apply();
    // Counts from the next clipboard read on; the grid shown keeps its numbers.
    void toggleStatementSigns();
    void toggleStatisticsLine();

  private:
    MainMenu& menu_;
    GridPage& gridPage_;
    clipcalc::CalcState& calc_;
    ShellSettings& shell_;
};

}  // namespace corvalo::shell
