#include "shell/calculator_placeholder.h"

namespace corvalo::shell {

CalculatorPlaceholder::CalculatorPlaceholder(QWidget* parent) : QWidget(parent) {
    setMinimumSize(1, 1);
    setFocusPolicy(Qt::StrongFocus);  // so that its page has a focus like the calculator's
}

}  // namespace corvalo::shell
