#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QString>
#include <QStringList>

#include "platform/font_chooser.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace corvalo::platform {

// 0x00BBGGRR -> QColor; a system colour (negative) shows as `system`.
QColor toQColor(std::int32_t color, const QColor& system);

// Qt names a family installed by two foundries with the foundry added:
// "Nimbus Mono PS [urw]" -> "Nimbus Mono PS".
QString familyWithoutFoundry(const QString& family);

// The installed families by their plain names, each once, in alphabetical order.
QStringList installedFamilies();

// The installed face closest to `family`, by its plain name: itself when
// installed, otherwise fontconfig's best match ("Courier New" -> "DejaVu Sans
// Mono" on a bare Debian), so a face named in the settings file that Linux
// lacks still looks like what was meant.
QString resolveFontFamily(const QString& family);

// The font to draw with. The family list starts with the name as given, so
// the name the user chose is what the font (and the settings file) keeps.
QFont toQFont(const FontSpec& font);

// The font dialog: face, size, style, underline, strike-out, colour, a sample,
// and OK, Cancel and Apply. Qt's own font dialog has neither colour nor Apply.
class FontDialog final : public QDialog {
    Q_OBJECT
  public:
    FontDialog(const FontSpec& initial, FontChooser::ApplyHandler onApply,
               QWidget* parent = nullptr);

    // The font as the dialog shows it now. The face keeps the initial name
    // until the user picks another one from the list.
    FontSpec chosenFont() const;

    QComboBox* comboFace = nullptr;  // plain family names, each shown in its own face
    QSpinBox* spinSize = nullptr;
    QComboBox* comboStyle = nullptr;  // Regular, Italic, Bold, Bold Italic
    QCheckBox* checkStrikeOut = nullptr;
    QCheckBox* checkUnderline = nullptr;
    QComboBox* comboColor = nullptr;
    QLabel* labelSample = nullptr;
    QPushButton* btnApply = nullptr;

  private:
    void updateSample();

    FontSpec initial_;
    bool faceChosen_ = false;
    FontChooser::ApplyHandler onApply_;
};

// The font chooser over that dialog, owned by `parent` while it runs.
class QtFontChooser final : public FontChooser {
  public:
    explicit QtFontChooser(QWidget* parent = nullptr) : parent_(parent) {}
    std::optional<FontSpec> choose(const FontSpec& initial, const ApplyHandler& onApply) override;

  private:
    QWidget* parent_;
};

}  // namespace corvalo::platform
