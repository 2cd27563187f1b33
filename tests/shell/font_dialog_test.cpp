// The font dialog: what it shows of the font it starts from, Apply, OK and
// Cancel, and faces that this computer lacks.
#include "platform/qt/font_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <vector>

namespace corvalo::testing {
namespace {

using platform::FontDialog;
using platform::FontSpec;

// Italic, underline and a colour outside the sixteen; an unknown face, bold, and the
// system's colour.
TEST(FontDialog, StartsFromTheFontAndGivesItBackUnchanged) {
    const std::int32_t systemColour = static_cast<std::int32_t>(0x80000008u);
    for (const FontSpec& font : {FontSpec{"DejaVu Sans Mono", 9, 0x123456, false, true, true},
                                 FontSpec{"No Such Face 123", 20, systemColour, true}}) {
        EXPECT_EQ(FontDialog(font, nullptr).chosenFont(), font) << font.name;
    }
    // Colours are stored as 0x00BBGGRR; a negative one is the system's.
    const QColor system(1, 2, 3);
    EXPECT_EQ(platform::toQColor(0x123456, system), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(platform::toQColor(systemColour, system), system);
}

// The face list names each family once, as the user knows it, also where Qt tells two
// foundries' copies apart ("Nimbus Mono PS [urw]" with fonts-urw-base35); a face this
// computer lacks shows as fontconfig's installed look-alike.
TEST(FontDialog, FacesAsTheUserKnowsThem) {
    EXPECT_EQ(platform::familyWithoutFoundry(QStringLiteral("Nimbus Mono PS [urw]")),
              QStringLiteral("Nimbus Mono PS"));
    // Courier New, a built-in face, stays first in the font and shows fixed-pitch.
    const QFont font = platform::toQFont({"Courier New", 12, 0, true});
    EXPECT_EQ(font.families().front(), QStringLiteral("Courier New"));
    EXPECT_TRUE(QFontInfo(font).fixedPitch());
    FontDialog dialog({"Courier New", 12, 0}, nullptr);
    EXPECT_TRUE(QFontDatabase::isFixedPitch(dialog.comboFace->currentText()));
    QStringList faces;
    for (int i = 0; i < dialog.comboFace->count(); ++i)
        faces.append(dialog.comboFace->itemText(i));
    EXPECT_EQ(faces.filter(QStringLiteral(" [")), QStringList());
    EXPECT_EQ(faces.removeDuplicates(), 0);
}

// Apply hands over the dialog's current font and leaves it open; OK gives the font,
// Cancel nothing.
TEST(FontDialog, ApplyOkAndCancel) {
    for (bool ok : {true, false}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        std::vector<FontSpec> applied;
        QTimer::singleShot(0, [ok] {
            auto* dialog = qobject_cast<FontDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->spinSize->setValue(16);
            dialog->comboStyle->setCurrentIndex(2);  // Bold
            dialog->btnApply->click();
            dialog->comboFace->setCurrentText(QStringLiteral("DejaVu Serif"));
            dialog->checkStrikeOut->setChecked(true);
            dialog->comboColor->setCurrentIndex(dialog->comboColor->findText("Blue"));
            dialog->btnApply->click();
            EXPECT_TRUE(dialog->isVisible());
            ok ? dialog->accept() : dialog->reject();
        });
        const auto chosen = platform::QtFontChooser().choose(
            {"DejaVu Sans", 10, 0}, [&](const FontSpec& f) { applied.push_back(f); });
        const FontSpec last{"DejaVu Serif", 16, 0xFF0000, true, false, false, true};
        EXPECT_EQ(applied, (std::vector<FontSpec>{{"DejaVu Sans", 16, 0, true}, last}));
        EXPECT_EQ(chosen, ok ? std::optional(last) : std::nullopt);
    }
}

}  // namespace
}  // namespace corvalo::testing
