#include "app/dialogs/FontDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "app/dialogs/OutlineForm.h"

namespace ov {

namespace {

struct NamedColor {
    const char* Name;
    int Red, Green, Blue;
};

// The colours a font's colour list offers, in the usual order of the sixteen basic colours.
constexpr NamedColor kBasicColors[] = {
    {"Black", 0, 0, 0},       {"Maroon", 128, 0, 0},     {"Green", 0, 128, 0},    {"Olive", 128, 128, 0},
    {"Navy", 0, 0, 128},      {"Purple", 128, 0, 128},   {"Teal", 0, 128, 128},   {"Gray", 128, 128, 128},
    {"Silver", 192, 192, 192}, {"Red", 255, 0, 0},       {"Lime", 0, 255, 0},     {"Yellow", 255, 255, 0},
    {"Blue", 0, 0, 255},      {"Fuchsia", 255, 0, 255}, {"Aqua", 0, 255, 255},   {"White", 255, 255, 255},
};

bool IsBasicComponent(int c) { return c == 0 || c == 128 || c == 255; }

QIcon Swatch(std::int32_t rgbColor) {
    QPixmap pixmap(16, 12);
    pixmap.fill(ToQColor(rgbColor));
    return QIcon(pixmap);
}

} // namespace

bool IsBasicColor(const clsColor& color) {
    const int r = color.GetRed(), g = color.GetGreen(), b = color.GetBlue();
    return (IsBasicComponent(r) && IsBasicComponent(g) && IsBasicComponent(b)) || (r == 192 && g == 192 && b == 192);
}

QFont FontDialogInitialFont(const clsFont& font) {
    QFont initial(QString::fromStdString(font.Name.substr(0, 31)));
    // Sizes from a file may be absurd; the chooser gets one it can show.
    const double size = std::isfinite(font.Size) && font.Size >= 1 ? std::min<double>(font.Size, 1638) : 1;
    initial.setPointSizeF(size);
    initial.setWeight(font.Bold ? QFont::Bold : QFont::Normal);
    initial.setItalic(font.Italic);
    initial.setUnderline(font.Underline);
    initial.setStrikeOut(font.StrikeOut);
    // A face the system only substitutes (Arial by Liberation Sans) would not be found in
    // the chooser's list, which would then also lose the style; start on the face in use.
    const QString inUse = QFontInfo(initial).family();
    if (!inUse.isEmpty()) initial.setFamily(inUse);
    return initial;
}

std::int32_t FontDialogInitialColor(const clsFont& font) { return IsBasicColor(font.Color) ? font.Color.RGBColor : 0; }

void ApplyFontChoice(clsFont& font, const QFont& chosen, std::int32_t chosenColor, std::int32_t initialColor) {
    if (chosenColor != initialColor) {
        const QColor c = ToQColor(chosenColor);
        font.Color.SetRGBColor(c.red(), c.green(), c.blue());
    }
    // The stored name stays when the user kept the face that stands in for it, so that
    // opening and confirming the dialog does not rename a project's fonts. Face names are
    // kept to the 31 characters a system font record holds.
    if (chosen.family() != QFontInfo(QFont(QString::fromStdString(font.Name))).family())
        font.Name = chosen.family().left(31).toStdString();
    const double points = chosen.pointSizeF() > 0 ? chosen.pointSizeF() : font.Size;
    font.Size = static_cast<float>(std::round(points * 10) / 10);
    font.Italic = chosen.italic();
    font.Bold = chosen.weight() >= QFont::DemiBold;
    font.Underline = chosen.underline();
    font.StrikeOut = chosen.strikeOut();
}

frmFont::frmFont(const QFont& initial, std::int32_t initialColor, QWidget* parent) : QDialog(parent) {
    setObjectName("frmFont");
    setWindowTitle("Font");

    // Qt's chooser without its own buttons, as a panel of this dialog.
    fonts_ = new QFontDialog(this);
    fonts_->setObjectName("FontPanel");
    fonts_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog | QFontDialog::ScalableFonts);
    fonts_->setWindowFlags(Qt::Widget);
    fonts_->setSizeGripEnabled(false);
    if (fonts_->layout()) fonts_->layout()->setContentsMargins(0, 0, 0, 0);
    fonts_->setCurrentFont(initial);

    cbColor_ = new QComboBox(this);
    cbColor_->setObjectName("cbColor");
    int chosen = -1;
    for (const NamedColor& c : kBasicColors) {
        clsColor color(c.Red, c.Green, c.Blue);
        if (color.RGBColor == initialColor) chosen = cbColor_->count();
        cbColor_->addItem(Swatch(color.RGBColor), c.Name, color.RGBColor);
    }
    if (chosen < 0) {
        // A basic colour outside the sixteen: offered as it is, so OK keeps it.
        chosen = cbColor_->count();
        cbColor_->addItem(Swatch(initialColor), "Custom", initialColor);
    }
    cbColor_->setCurrentIndex(chosen);

    auto* colorRow = new QHBoxLayout;
    auto* colorLabel = new QLabel("&Color:", this);
    colorLabel->setBuddy(cbColor_);
    colorRow->addWidget(colorLabel);
    colorRow->addWidget(cbColor_);
    colorRow->addStretch(1);

    auto* buttons = new QDialogButtonBox(this);
    cmOK_ = buttons->addButton(QDialogButtonBox::Ok);
    cmOK_->setObjectName("cmOK");
    cmCancel_ = buttons->addButton(QDialogButtonBox::Cancel);
    cmCancel_->setObjectName("cmCancel");
    connect(cmOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmCancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fonts_, 1);
    layout->addLayout(colorRow);
    layout->addWidget(buttons);
}

QFont frmFont::SelectedFont() const { return fonts_->currentFont(); }

std::int32_t frmFont::SelectedColor() const { return cbColor_->currentData().toInt(); }

bool ShowFontDialog(clsFont& font, QWidget* owner) {
    const std::int32_t initialColor = FontDialogInitialColor(font);
    frmFont dialog(FontDialogInitialFont(font), initialColor, owner);
    if (dialog.exec() != QDialog::Accepted) return false;
    ApplyFontChoice(font, dialog.SelectedFont(), dialog.SelectedColor(), initialColor);
    return true;
}

} // namespace ov
