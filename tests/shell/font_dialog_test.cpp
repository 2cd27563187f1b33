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
#include <QStringList>
#include <QTimer>
#include <vector>

namespace corvalo::testing {
namespace {

using platform::FontDialog;
using platform::FontSpec;

TEST(FontDialog, StartsFromTheFontAndGivesItBackUnchanged) {
    const struct {
        const char* name;
        FontSpec font;
    } rows[] = {
        {"bold italic red", {"DejaVu Serif", 14, 0x0000FF, true, true}},
        {"underline and strike-out", {"DejaVu Sans Mono", 9, 0x808000, false, false, true, true}},
        {"colour outside the sixteen", {"DejaVu Sans", 12, 0x123456}},
        {"system colour", {"DejaVu Sans", 12, static_cast<std::int32_t>(0x80000008u)}},
        {"face not installed keeps its name", {"Courier New", 11, 0}},
        {"unknown face", {"No Such Face 123", 20, 0, true}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FontDialog dialog(row.font, nullptr);
        EXPECT_EQ(dialog.chosenFont(), row.font);
        EXPECT_EQ(dialog.spinSize->value(), row.font.size);
        EXPECT_EQ(dialog.checkUnderline->isChecked(), row.font.underline);
    }
}

TEST(FontDialog, FamilyWithoutFoundry) {
    const struct {
        const char* name;
        const char* family;
        const char* plain;
    } rows[] = {
        {"installed twice", "Nimbus Mono PS [urw]", "Nimbus Mono PS"},
        {"brackets inside the name stay", "Font [X] Pro", "Font [X] Pro"},
        {"nothing but a bracket", "[urw]", "[urw]"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(platform::familyWithoutFoundry(QString::fromLatin1(row.family)),
                  QString::fromLatin1(row.plain));
    }
}

// The face list names each family once, as the user knows it, also where Qt
// tells two foundries' copies apart ("Nimbus Mono PS [urw]" with fonts-urw-base35).
TEST(FontDialog, FaceListShowsPlainFamilyNamesOnce) {
    FontDialog dialog({"DejaVu Sans", 10, 0}, nullptr);
    QStringList faces;
    for (int i = 0; i < dialog.comboFace->count(); ++i)
        faces.append(dialog.comboFace->itemText(i));
    ASSERT_TRUE(faces.contains(QStringLiteral("DejaVu Serif")));
    EXPECT_EQ(faces.filter(QStringLiteral(" [")), QStringList());
    EXPECT_EQ(faces.removeDuplicates(), 0);
}

TEST(FontDialog, MissingFaceFallsBackToAnInstalledLookAlike) {
    const QString resolved = platform::resolveFontFamily(QStringLiteral("Courier New"));
    EXPECT_TRUE(QFontDatabase::hasFamily(resolved)) << resolved.toStdString();
    // fontconfig knows Courier New is a typewriter face.
    EXPECT_TRUE(QFontDatabase::isFixedPitch(resolved)) << resolved.toStdString();
    EXPECT_EQ(platform::resolveFontFamily(QStringLiteral("DejaVu Serif")),
              QStringLiteral("DejaVu Serif"));

    const QFont font = platform::toQFont({"Courier New", 12, 0, true});
    EXPECT_EQ(font.families().front(), QStringLiteral("Courier New"));
    EXPECT_TRUE(QFontInfo(font).fixedPitch());

    FontDialog dialog({"Courier New", 12, 0}, nullptr);
    EXPECT_EQ(dialog.comboFace->currentText(), resolved);
}

TEST(FontDialog, ApplyHandsOverTheCurrentFontAndStaysOpen) {
    std::vector<FontSpec> applied;
    FontDialog dialog({"DejaVu Sans", 10, 0}, [&](const FontSpec& f) { applied.push_back(f); });
    dialog.show();
    dialog.spinSize->setValue(16);
    dialog.comboStyle->setCurrentIndex(2);  // Bold
    dialog.btnApply->click();
    dialog.comboFace->setCurrentText(QStringLiteral("DejaVu Serif"));
    dialog.checkStrikeOut->setChecked(true);
    dialog.comboColor->setCurrentIndex(dialog.comboColor->findText(QStringLiteral("Blue")));
    dialog.btnApply->click();

    ASSERT_EQ(applied.size(), 2u);
    EXPECT_EQ(applied[0], (FontSpec{"DejaVu Sans", 16, 0, true}));
    EXPECT_EQ(applied[1], (FontSpec{"DejaVu Serif", 16, 0xFF0000, true, false, false, true}));
    EXPECT_TRUE(dialog.isVisible());
}

TEST(FontDialog, ChooserOkAndCancel) {
    for (bool ok : {true, false}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        QTimer::singleShot(0, [ok] {
            auto* dialog = qobject_cast<FontDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->spinSize->setValue(22);
            ok ? dialog->accept() : dialog->reject();
        });
        platform::QtFontChooser chooser;
        const auto chosen = chooser.choose({"DejaVu Sans", 10, 0}, nullptr);
        EXPECT_EQ(chosen.has_value() ? chosen->size : 0, ok ? 22 : 0);
    }
}

TEST(FontDialog, ColourEncoding) {
    const QColor system(1, 2, 3);
    EXPECT_EQ(platform::toQColor(0x0000FF, system), QColor(255, 0, 0));
    EXPECT_EQ(platform::toQColor(0x123456, system), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(platform::toQColor(static_cast<std::int32_t>(0x80000008u), system), system);
    EXPECT_EQ(platform::fromQColor(QColor(0x56, 0x34, 0x12)), 0x123456);
}

}  // namespace
}  // namespace corvalo::testing
