#include "shell/grid_options.h"

#include "shell/grid_page.h"
#include "shell/main_menu.h"

namespace corvalo::shell {

void GridOptions::apply() {
    menu_.setStatementSignsChecked(calc_.statementSigns);
    menu_.setStatisticsLineChecked(shell_.statisticsLine);
    gridPage_.showStatistics(shell_.statisticsLine);
}

void GridOptions::toggleStatementSigns() {
    calc_.statementSigns = menu_.statementSignsChecked();
}

void GridOptions::toggleStatisticsLine() {
    shell_.statisticsLine = menu_.statisticsLineChecked();
    gridPage_.showStatistics(shell_.statisticsLine);
}

}  // namespace corvalo::shell
