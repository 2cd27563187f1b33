#include "platform/qt/font_dialog.h"

#include <fontconfig/fontconfig.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <array>
#include <utility>

namespace corvalo::platform {

namespace {

struct NamedColour {
    const char* name;
    std::int32_t value;  // 0x00BBGGRR
};

// The sixteen colours of the classic font dialog.
// clang-format off
constexpr std::array<NamedColour, 16> kColours{{
    {"Black", 0x000000},  {"Maroon", 0x000080},  {"Green", 0x008000}, {"Olive", 0x008080},
    {"Navy", 0x800000},   {"Purple", 0x800080},  {"Teal", 0x808000},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},     {"Lime", 0x00FF00},  {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00},  {"White", 0xFFFFFF},
}};
// clang-format on

constexpr int kMaxPointSize = 999;  // no size limits worth the name
// Places in the style list: Regular, Italic, Bold, Bold Italic.
constexpr int kRegular = 0;
constexpr int kItalic = 1;
constexpr int kBold = 2;
constexpr int kBoldItalic = 3;

}  // namespace

QColor toQColor(std::int32_t color, const QColor& system) {
    if (color < 0) return system;
    const auto c = static_cast<std::uint32_t>(color);
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

QString familyWithoutFoundry(const QString& family) {
    if (!family.endsWith(QLatin1Char(']'))) return family;
    const qsizetype open = family.lastIndexOf(QStringLiteral(" ["));
    return open > 0 ? family.left(open) : family;
}

QStringList installedFamilies() {
    QStringList names;
    for (const QString& family : QFontDatabase::families()) {
        if (!QFontDatabase::isPrivateFamily(family)) names.append(familyWithoutFoundry(family));
    }
    names.sort(Qt::CaseInsensitive);
    names.removeDuplicates();
    return names;
}

QString resolveFontFamily(const QString& family) {
    if (family.isEmpty()) return family;
    if (QFontDatabase::hasFamily(family)) return familyWithoutFoundry(family);
    QString resolved = family;
    FcPattern* pattern = FcPatternCreate();
    const QByteArray utf8 = family.toUtf8();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(utf8.constData()));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(nullptr, pattern, &result); match != nullptr) {
        FcChar8* name = nullptr;
        if (FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch && name != nullptr) {
            resolved = QString::fromUtf8(reinterpret_cast<const char*>(name));
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return resolved;
}

QFont toQFont(const FontSpec& chosen) {
    QFont font;
    const QString name = QString::fromStdString(chosen.name);
    const QString resolved = resolveFontFamily(name);
    font.setFamilies(resolved == name ? QStringList{name} : QStringList{name, resolved});
    if (chosen.size > 0) font.setPointSize(chosen.size);
    font.setBold(chosen.bold);
    font.setItalic(chosen.italic);
    font.setUnderline(chosen.underline);
    font.setStrikeOut(chosen.strikeOut);
    return font;
}

FontDialog::FontDialog(const FontSpec& initial, FontChooser::ApplyHandler onApply, QWidget* parent)
    : QDialog(parent), initial_(initial), onApply_(std::move(onApply)) {
    setWindowTitle(QStringLiteral("Font"));
    comboFace = new QComboBox(this);
    for (const QString& family : installedFamilies()) {
        comboFace->addItem(family);
        comboFace->setItemData(comboFace->count() - 1, QFont(family), Qt::FontRole);
    }
    const QString shownFace = resolveFontFamily(QString::fromStdString(initial.name));
    // A face fontconfig found but Qt does not list is still shown as the one in use.
    if (!shownFace.isEmpty() && comboFace->findText(shownFace) < 0) {
        comboFace->insertItem(0, shownFace);
    }
    comboFace->setCurrentIndex(comboFace->findText(shownFace));
    spinSize = new QSpinBox(this);
    spinSize->setRange(1, kMaxPointSize);
    spinSize->setValue(initial.size > 0 ? initial.size : 10);
    comboStyle = new QComboBox(this);
    comboStyle->addItems({QStringLiteral("Regular"), QStringLiteral("Italic"),
                          QStringLiteral("Bold"), QStringLiteral("Bold Italic")});
    comboStyle->setCurrentIndex((initial.bold ? kBold : kRegular) + (initial.italic ? 1 : 0));

    checkStrikeOut = new QCheckBox(QStringLiteral("Stri&keout"), this);
    checkStrikeOut->setChecked(initial.strikeOut);
    checkUnderline = new QCheckBox(QStringLiteral("&Underline"), this);
    checkUnderline->setChecked(initial.underline);
    comboColor = new QComboBox(this);
    const QColor systemText = palette().color(QPalette::WindowText);
    bool known = false;
    for (const auto& c : kColours) {
        QPixmap swatch(14, 14);
        swatch.fill(toQColor(c.value, systemText));
        comboColor->addItem(QIcon(swatch), QString::fromLatin1(c.name), c.value);
        if (c.value == initial.color) {
            comboColor->setCurrentIndex(comboColor->count() - 1);
            known = true;
        }
    }
    if (!known) {
        // A colour from the settings file outside the sixteen stays choosable.
        QPixmap swatch(14, 14);
        swatch.fill(toQColor(initial.color, systemText));
        comboColor->addItem(
            QIcon(swatch), initial.color < 0 ? QStringLiteral("System") : QStringLiteral("Custom"),
            initial.color);
        comboColor->setCurrentIndex(comboColor->count() - 1);
    }

    labelSample = new QLabel(QStringLiteral("AaBbYyZz 1,234.50"), this);
    labelSample->setAlignment(Qt::AlignCenter);
    labelSample->setMinimumSize(260, 70);
    labelSample->setFrameShape(QFrame::StyledPanel);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Font:"), comboFace);
    form->addRow(QStringLiteral("Font st&yle:"), comboStyle);
    form->addRow(QStringLiteral("&Size:"), spinSize);
    auto* effects = new QGroupBox(QStringLiteral("Effects"), this);
    auto* effectsLayout = new QFormLayout(effects);
    effectsLayout->addRow(checkStrikeOut);
    effectsLayout->addRow(checkUnderline);
    effectsLayout->addRow(QStringLiteral("&Color:"), comboColor);
    auto* sample = new QGroupBox(QStringLiteral("Sample"), this);
    auto* sampleLayout = new QVBoxLayout(sample);
    sampleLayout->addWidget(labelSample);

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    btnApply = buttons->button(QDialogButtonBox::Apply);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(btnApply, &QPushButton::clicked, this, [this] {
        if (onApply_) onApply_(chosenFont());
    });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    auto* lower = new QHBoxLayout;
    lower->addWidget(effects);
    lower->addWidget(sample, 1);
    layout->addLayout(lower);
    layout->addWidget(buttons);

    connect(comboFace, &QComboBox::currentIndexChanged, this, [this] {
        faceChosen_ = true;
        updateSample();
    });
    connect(spinSize, &QSpinBox::valueChanged, this, [this] { updateSample(); });
    connect(comboStyle, &QComboBox::currentIndexChanged, this, [this] { updateSample(); });
    connect(checkStrikeOut, &QCheckBox::toggled, this, [this] { updateSample(); });
    connect(checkUnderline, &QCheckBox::toggled, this, [this] { updateSample(); });
    connect(comboColor, &QComboBox::currentIndexChanged, this, [this] { updateSample(); });
    updateSample();
}

FontSpec FontDialog::chosenFont() const {
    FontSpec f;
    f.name = faceChosen_ ? comboFace->currentText().toStdString() : initial_.name;
    f.size = spinSize->value();
    f.color = comboColor->currentData().toInt();
    const int style = comboStyle->currentIndex();
    f.bold = style == kBold || style == kBoldItalic;
    f.italic = style == kItalic || style == kBoldItalic;
    f.underline = checkUnderline->isChecked();
    f.strikeOut = checkStrikeOut->isChecked();
    return f;
}

void FontDialog::updateSample() {
    const FontSpec f = chosenFont();
    labelSample->setFont(toQFont(f));
    QPalette p = labelSample->palette();
    p.setColor(QPalette::WindowText, toQColor(f.color, palette().color(QPalette::WindowText)));
    labelSample->setPalette(p);
}

std::optional<FontSpec> QtFontChooser::choose(const FontSpec& initial,
                                              const ApplyHandler& onApply) {
    // Without a parent of its own it belongs to the window that opened it.
    QWidget* parent = parent_ != nullptr ? parent_ : QApplication::activeWindow();
    FontDialog dialog(initial, onApply, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.chosenFont();
}

}  // namespace corvalo::platform
