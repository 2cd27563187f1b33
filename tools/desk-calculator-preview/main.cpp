// Shows the desk calculator alone in a window, for looking at it: calculator-preview
// [width height [keys]]. The keys are typed into it, "12+3=" for example.
#include <QApplication>
#include <QString>
#include <cstdlib>
#include <iostream>
#include <string>

#include "deskcalc/qt/desk_calculator_widget.h"
#include "platform/locale_separators.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int width = argc > 2 ? std::atoi(argv[1]) : 440;
    const int height = argc > 2 ? std::atoi(argv[2]) : 400;
    std::string clipboard;
    corvalo::deskcalc::CalculatorServices services{
        [] { QApplication::beep(); }, [&clipboard] { return std::optional(clipboard); },
        [&clipboard](const std::string& text) {
            clipboard = text;
            std::cout << "copied: \"" << text << "\"" << std::endl;
        }};
    const char decimal = corvalo::platform::readUserLocaleSeparators().decimal;
    corvalo::deskcalc::DeskCalculatorWidget calc(services, decimal);
    calc.setWindowTitle(QStringLiteral("Corvalo Calculator"));
    calc.resize(width, height);
    calc.move(0, 0);
    if (argc > 3) calc.logic().setText(argv[3]);
    calc.show();
    return QApplication::exec();
}
