#include "app/dialogs/OutlineForm.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <iterator>

namespace ov {

namespace {

constexpr OutlineWeight kWeights[] = {
    {"None", 0},      {"Hairline", clsOutline::HairlineWidth},
    {"0.25 pt", 0.25}, {"0.5 pt", 0.5}, {"0.75 pt", 0.75}, {"1.0 pt", 1.0}, {"1.5 pt", 1.5},
    {"2.0 pt", 2.0},   {"2.5 pt", 2.5}, {"3.0 pt", 3.0},   {"3.5 pt", 3.5}, {"4.0 pt", 4.0},
    {"4.5 pt", 4.5},   {"5.0 pt", 5.0},
};
constexpr int kWeightCount = static_cast<int>(std::size(kWeights));

struct DashStyle {
    const char* Text;
    std::int32_t Value;
};
constexpr DashStyle kStyles[] = {
    {"Solid", clsOutline::StyleSolid}, {"Dashed", clsOutline::StyleDashed}, {"Dotted", clsOutline::StyleDotted}};

} // namespace

int OutlineWeightCount() { return kWeightCount; }

const OutlineWeight& GetOutlineWeight(int index) {
    return kWeights[index < 0 ? 0 : index >= kWeightCount ? kWeightCount - 1 : index];
}

int OutlineWeightIndex(double width) {
    for (int i = 0; i < kWeightCount; ++i)
        if (kWeights[i].Width >= width) return i;
    return kWeightCount - 1;
}

QColor ToQColor(std::int32_t rgbColor) {
    return QColor(rgbColor & 255, (rgbColor >> 8) & 255, (rgbColor >> 16) & 255);
}

std::int32_t FromQColor(const QColor& color) {
    clsColor c;
    c.SetRGBColor(color.red(), color.green(), color.blue());
    return c.RGBColor;
}

void ApplyButtonColor(QAbstractButton& button, const ButtonLook& look) {
    button.setEnabled(look.Enabled);
    if (!look.HasBackground) return;
    if (look.System == SystemColor::ButtonFace) {
        button.setStyleSheet(QString());
        return;
    }
    const QColor fill = look.System == SystemColor::GrayText
                            ? button.palette().color(QPalette::Disabled, QPalette::WindowText)
                            : ToQColor(look.RGBColor);
    // A flat swatch with a thin frame, so that a white or button-coloured style still shows
    // where the button is.
    button.setStyleSheet(QString("QPushButton { background-color: %1; border: 1px solid palette(dark);"
                                 " padding: 3px 12px; }")
                             .arg(fill.name()));
}

bool ShowColorDialog(clsColor& color, QWidget* parent) {
    QColorDialog dialog(ToQColor(color.RGBColor), parent);
    dialog.setWindowTitle("Color");
    if (dialog.exec() == QDialog::Accepted && dialog.selectedColor().isValid())
        color.RGBColor = FromQColor(dialog.selectedColor());
    return true;
}

OutlineForm::OutlineForm(clsOutline& edited, QWidget* parent)
    : QDialog(parent), edited_(edited), color_(edited.Color.Dup()) {
    setObjectName("OutlineForm");
    setWindowTitle("Outline Properties");

    cbWeight_ = new QComboBox(this);
    cbWeight_->setObjectName("cbWeight");
    for (const OutlineWeight& w : kWeights) cbWeight_->addItem(w.Text, w.Width);
    cbWeight_->setCurrentIndex(OutlineWeightIndex(edited.Width));

    cbStyle_ = new QComboBox(this);
    cbStyle_->setObjectName("cbStyle");
    int styleIndex = -1;
    for (const DashStyle& s : kStyles) {
        if (s.Value == edited.Style) styleIndex = cbStyle_->count();
        cbStyle_->addItem(s.Text, s.Value);
    }
    // An outline without a line (or with a style from a file that the list does not hold)
    // starts at solid, so that choosing a weight gives a visible line.
    cbStyle_->setCurrentIndex(styleIndex >= 0 ? styleIndex : 0);

    cmColor_ = new QPushButton(this);
    cmColor_->setObjectName("cmColor");
    cmColor_->setToolTip("Choose the line colour");
    cmColor_->setMinimumHeight(cbWeight_->sizeHint().height());
    connect(cmColor_, &QPushButton::clicked, this, &OutlineForm::OnColor);
    ShowColor();

    auto* form = new QFormLayout;
    form->addRow("&Weight:", cbWeight_);
    form->addRow("&Style:", cbStyle_);
    form->addRow("&Color:", cmColor_);

    auto* buttons = new QDialogButtonBox(this);
    cmOK_ = buttons->addButton(QDialogButtonBox::Ok);
    cmOK_->setObjectName("cmOK");
    cmCancel_ = buttons->addButton(QDialogButtonBox::Cancel);
    cmCancel_->setObjectName("cmCancel");
    connect(cmOK_, &QPushButton::clicked, this, &OutlineForm::OnOK);
    connect(cmCancel_, &QPushButton::clicked, this, &OutlineForm::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(260);
}

void OutlineForm::ShowColor() { ApplyButtonColor(*cmColor_, color_.GetButtonLook(true)); }

void OutlineForm::OnColor() {
    ShowColorDialog(color_, this);
    ShowColor();
}

void OutlineForm::OnOK() {
    const double width = GetOutlineWeight(cbWeight_->currentIndex()).Width;
    edited_.Width = width;
    edited_.Style = width == 0 ? clsOutline::StyleNone : cbStyle_->currentData().toInt();
    edited_.Color.CopyAssign(color_);
    accept();
}

void OutlineForm::reject() {
    if (!closingByBox_) cancelled_ = true;
    QDialog::reject();
}

void OutlineForm::closeEvent(QCloseEvent* event) {
    closingByBox_ = true;
    QDialog::closeEvent(event);
    closingByBox_ = false;
}

bool ShowOutlineDialog(clsOutline& outline, QWidget* parent) {
    OutlineForm form(outline, parent);
    form.exec();
    return form.Confirmed();
}

} // namespace ov
