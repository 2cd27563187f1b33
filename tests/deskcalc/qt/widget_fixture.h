#pragma once

#include <gtest/gtest.h>

#include <QTest>

#include <memory>
#include <optional>
#include <string>

#include "deskcalc/qt/desk_calculator_widget.h"

namespace corvalo::deskcalc::testing {

// The calculator shown 440 x 400 and focused, its beep and clipboard recorded here.
class WidgetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        calc = std::make_unique<DeskCalculatorWidget>(
            CalculatorServices{[this] { ++beeps; }, [this] { return clipboard; },
                               [this](const std::string& text) { clipboard = text; }},
            '.');
        calc->resize(440, 400);
        calc->show();
        calc->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(calc.get()));
        calc->setFocus();
    }

    int beeps = 0;
    std::optional<std::string> clipboard;
    std::unique_ptr<DeskCalculatorWidget> calc;
};

}  // namespace corvalo::deskcalc::testing
