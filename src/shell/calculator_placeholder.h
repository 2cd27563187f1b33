#pragma once

#include <QWidget>

#include "shell/calculator_entry.h"

namespace corvalo::shell {

// Holds the calculator page's place until the desk calculator comes: an empty
// page whose entry text is empty.
class CalculatorPlaceholder final : public QWidget, public CalculatorEntry {
    Q_OBJECT
public:
    explicit CalculatorPlaceholder(QWidget* parent = nullptr);
    std::string EntryText() const override { return {}; }
};

}  // namespace corvalo::shell
