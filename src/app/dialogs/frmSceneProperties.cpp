#include "app/dialogs/frmSceneProperties.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <string>

#include "app/dialogs/OutlineForm.h"
#include "io/NumberText.h"
#include "platform/Prompt.h"
#include "scene/AppState.h"
#include "scene/ITreeView.h"
#include "scene/clsScene.h"

namespace ov {

namespace {

struct StyleRow {
    const char* Label;
    const char* TextName;
    const char* ButtonName;
    clsOutline clsSceneSettings::*Style;
};

constexpr StyleRow kStyleRows[frmSceneProperties::StyleCount] = {
    {"Objects:", "txtLineStyle", "cmOtlLine", &clsSceneSettings::Line},
    {"Minor Grid:", "txtMinorStyle", "cmOtlGridMinor", &clsSceneSettings::GridMinor},
    {"Major Grid:", "txtMajorStyle", "cmOtlGridMajor", &clsSceneSettings::GridMajor},
    {"Horizon Grid Line:", "txtHorizonGridStyle", "cmOtlGridHorizon", &clsSceneSettings::GridHorizon},
    {"Horizon:", "txtHorizonStyle", "cmOtlHorizon", &clsSceneSettings::Horizon},
    {"Vanishing Lines:", "txtVanishStyle", "cmOtlVanishLine", &clsSceneSettings::VanishLine},
    {"Center Of View:", "txtCenterOfView", "cmOtlCenterOfView", &clsSceneSettings::CenterOfView},
};

constexpr int kMinPrecision = 1, kMaxPrecision = 10;

clsScene& DialogScene() { return *App().DialogScene; }

std::string Text(const QLineEdit* field) { return field->text().toStdString(); }

void Show(QLineEdit* field, double value) { field->setText(QString::fromStdString(FormatNumber(value))); }

QLineEdit* NewField(QWidget* parent, const QString& name) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setMinimumWidth(72);
    return field;
}

QLabel* BuddyLabel(QWidget* parent, const char* caption, QWidget* buddy) {
    auto* label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

frmSceneProperties::frmSceneProperties(QWidget* parent) : QDialog(parent), scene_(DialogScene()) {
    setObjectName("frmScene");
    setWindowTitle("Scene Properties");

    // The view volume and the grid spacing that follows from it.
    auto* gridFrame = new QGroupBox("Grid Properties", this);
    auto* volumeGrid = new QGridLayout;
    const char* volumeLabels[] = {"X-min:", "X-max:", "Y-min:", "Y-max:", "Z-min:", "Z-max:"};
    for (int i = 0; i < 6; ++i) {
        QLineEdit* box = NewField(gridFrame, QString("txtViewVolume%1").arg(i));
        txtViewVolume_[static_cast<std::size_t>(i)] = box;
        volumeGrid->addWidget(BuddyLabel(gridFrame, volumeLabels[i], box), i / 2, (i % 2) * 2);
        volumeGrid->addWidget(box, i / 2, (i % 2) * 2 + 1);
    }
    volumeGrid->setColumnStretch(1, 1);
    volumeGrid->setColumnStretch(3, 1);
    cAutoGrid_ = new QCheckBox("&Automatic Grid Settings", gridFrame);
    cAutoGrid_->setObjectName("cAutoGrid");
    txtGridMinor_ = NewField(gridFrame, "txtGridMinor");
    txtGridMajor_ = NewField(gridFrame, "txtGridMajor");
    lblGridMinor_ = BuddyLabel(gridFrame, "Mi&nor Grid Spacing:", txtGridMinor_);
    lblGridMajor_ = BuddyLabel(gridFrame, "Ma&jor Grid Spacing:", txtGridMajor_);
    auto* spacing = new QFormLayout;
    spacing->addRow(lblGridMinor_, txtGridMinor_);
    spacing->addRow(lblGridMajor_, txtGridMajor_);
    auto* gridLayout = new QVBoxLayout(gridFrame);
    gridLayout->addLayout(volumeGrid);
    gridLayout->addWidget(cAutoGrid_);
    gridLayout->addLayout(spacing);

    auto* nudgeFrame = new QGroupBox("Nudge Offset", this);
    cAutoNudge_ = new QCheckBox("A&utomatic", nudgeFrame);
    cAutoNudge_->setObjectName("cAutoNudge");
    txtNudgeOffset_ = NewField(nudgeFrame, "txtNudgeOffset");
    lblNudgeOffset_ = BuddyLabel(nudgeFrame, "&Offset:", txtNudgeOffset_);
    auto* nudgeLayout = new QFormLayout(nudgeFrame);
    nudgeLayout->addRow(cAutoNudge_);
    nudgeLayout->addRow(lblNudgeOffset_, txtNudgeOffset_);

    auto* rotationFrame = new QGroupBox("Rotation Increment", this);
    txtAngleStep_ = NewField(rotationFrame, "txtAngleStep");
    auto* rotationLayout = new QFormLayout(rotationFrame);
    rotationLayout->addRow(BuddyLabel(rotationFrame, "&Step:", txtAngleStep_), txtAngleStep_);

    auto* steps = new QHBoxLayout;
    steps->addWidget(nudgeFrame);
    steps->addWidget(rotationFrame);

    txtPrecision_ = NewField(this, "txtPrecision");
    txtPrecision_->setMaximumWidth(72); // one or two digits
    auto* precisionRow = new QFormLayout;
    precisionRow->addRow(BuddyLabel(this, "Unit &Precision:", txtPrecision_), txtPrecision_);

    auto* left = new QVBoxLayout;
    left->addWidget(gridFrame);
    left->addLayout(steps);
    left->addLayout(precisionRow);
    left->addStretch(1);

    // One row per construction-line style: its description and a button in its colour that
    // opens the style's dialog.
    auto* linesFrame = new QGroupBox("Line Properties", this);
    auto* linesGrid = new QGridLayout(linesFrame);
    for (int row = 0; row < StyleCount; ++row) {
        const StyleRow& r = kStyleRows[row];
        auto* text = NewField(linesFrame, r.TextName);
        text->setReadOnly(true);
        text->setFocusPolicy(Qt::NoFocus);
        auto* button = new QPushButton(linesFrame);
        button->setObjectName(r.ButtonName);
        button->setToolTip(QString("Edit the line style of %1").arg(QString(r.Label).chopped(1).toLower()));
        button->setFixedWidth(40);
        txtStyle_[static_cast<std::size_t>(row)] = text;
        cmStyle_[static_cast<std::size_t>(row)] = button;
        linesGrid->addWidget(new QLabel(r.Label, linesFrame), row, 0);
        linesGrid->addWidget(text, row, 1);
        linesGrid->addWidget(button, row, 2);
        connect(button, &QPushButton::clicked, this, [this, row] { OnStyleButton(row); });
    }
    linesGrid->setColumnStretch(1, 1);
    linesGrid->setRowStretch(StyleCount, 1);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addWidget(linesFrame, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
    ok->setObjectName("cmOK");
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName("cmCancel");
    connect(ok, &QPushButton::clicked, this, &frmSceneProperties::OnOK);
    connect(cancel, &QPushButton::clicked, this, &frmSceneProperties::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);

    // Load: copies of the styles and the scene's values.
    for (int row = 0; row < StyleCount; ++row)
        styles_[static_cast<std::size_t>(row)] = (scene_.*kStyleRows[row].Style).Dup();
    const double volume[6] = {scene_.ViewVolumeMin.x, scene_.ViewVolumeMax.x, scene_.ViewVolumeMin.y,
                              scene_.ViewVolumeMax.y, scene_.ViewVolumeMin.z, scene_.ViewVolumeMax.z};
    for (int i = 0; i < 6; ++i) Show(txtViewVolume_[static_cast<std::size_t>(i)], volume[i]);
    for (int row = 0; row < StyleCount; ++row) ShowStyle(row);
    cAutoGrid_->setChecked(scene_.AutoGrid);
    Show(txtGridMinor_, scene_.MinorGrid);
    Show(txtGridMajor_, scene_.MajorGrid);
    cAutoNudge_->setChecked(scene_.AutoNudge);
    Show(txtNudgeOffset_, scene_.NudgeOffset);
    Show(txtAngleStep_, scene_.AngleStep);
    txtPrecision_->setText(QString::number(scene_.Precision));
    UpdateAutoControls();

    connect(cAutoGrid_, &QCheckBox::toggled, this, &frmSceneProperties::UpdateAutoControls);
    connect(cAutoNudge_, &QCheckBox::toggled, this, &frmSceneProperties::UpdateAutoControls);
    for (QLineEdit* box : txtViewVolume_) connect(box, &QLineEdit::textChanged, this, &frmSceneProperties::UpdateAutoControls);
}

QLineEdit* frmSceneProperties::Field(const char* name) const { return findChild<QLineEdit*>(name); }

QPushButton* frmSceneProperties::Button(const char* name) const { return findChild<QPushButton*>(name); }

void frmSceneProperties::UpdateAutoControls() {
    const bool autoGrid = cAutoGrid_->isChecked(), autoNudge = cAutoNudge_->isChecked();
    if (autoGrid) {
        double v[6];
        for (int i = 0; i < 6; ++i) v[i] = ParseNumber(Text(txtViewVolume_[static_cast<std::size_t>(i)]));
        // The signed extents: a volume turned inside out on some axis leaves the grid alone.
        const double m = std::min({v[1] - v[0], v[3] - v[2], v[5] - v[4]});
        if (m > 0) {
            const double major = RoundGridStep(m);
            Show(txtGridMajor_, major);
            Show(txtGridMinor_, major / 5);
        }
    }
    if (autoNudge) txtNudgeOffset_->setText(txtGridMinor_->text());
    txtGridMinor_->setEnabled(!autoGrid);
    txtGridMajor_->setEnabled(!autoGrid);
    lblGridMinor_->setEnabled(!autoGrid);
    lblGridMajor_->setEnabled(!autoGrid);
    txtNudgeOffset_->setEnabled(!autoNudge);
    lblNudgeOffset_->setEnabled(!autoNudge);
}

void frmSceneProperties::ShowStyle(int row) {
    const std::size_t i = static_cast<std::size_t>(row);
    const ButtonLook look = styles_[i].GetButtonLook(true);
    txtStyle_[i]->setText(QString::fromStdString(look.Text));
    ApplyButtonColor(*cmStyle_[i], look);
}

void frmSceneProperties::OnStyleButton(int row) {
    if (ShowOutlineDialog(styles_[static_cast<std::size_t>(row)], this)) ShowStyle(row);
}

void frmSceneProperties::OnOK() {
    // The styles go back first: an OK refused below has already written them.
    for (int row = 0; row < StyleCount; ++row)
        (scene_.*kStyleRows[row].Style).CopyAssign(styles_[static_cast<std::size_t>(row)]);

    double v[6];
    for (int i = 0; i < 6; ++i) v[i] = ParseNumber(Text(txtViewVolume_[static_cast<std::size_t>(i)]));
    if (!(v[0] < v[1]) || !(v[2] < v[3]) || !(v[4] < v[5])) {
        ShowMessage("Invalid Scene Dimensions specified", PromptIcon::Critical);
        return;
    }
    const double precision = RoundHalfEven(ParseNumber(Text(txtPrecision_)));
    if (!(precision >= kMinPrecision && precision <= kMaxPrecision)) {
        ShowMessage("Unit precision must be between 1 and 10", PromptIcon::Critical);
        return;
    }

    scene_.Precision = static_cast<std::int32_t>(precision);
    scene_.ViewVolumeMin.SetPoint(v[0], v[2], v[4]);
    scene_.ViewVolumeMax.SetPoint(v[1], v[3], v[5]);
    scene_.AutoGrid = cAutoGrid_->isChecked();
    scene_.MinorGrid = ParseNumber(Text(txtGridMinor_));
    scene_.MajorGrid = ParseNumber(Text(txtGridMajor_));
    scene_.AutoNudge = cAutoNudge_->isChecked();
    scene_.NudgeOffset = ParseNumber(Text(txtNudgeOffset_));
    scene_.AngleStep = ParseNumber(Text(txtAngleStep_));
    accept();
}

void frmSceneProperties::reject() {
    App().DialogScene = nullptr;
    QDialog::reject();
}

bool ShowScenePropertiesDialog(QWidget* parent, clsScene& scene) {
    App().DialogScene = &scene;
    {
        frmSceneProperties dialog(parent);
        dialog.exec();
    }
    const bool confirmed = App().DialogScene != nullptr;
    App().DialogScene = nullptr;
    if (confirmed) {
        scene.OnPerspectiveChange();
        scene.UpdateAutoGrid();
        scene.UpdateViews();
        if (App().MainWindow) App().MainWindow->UpdateStatusBar();
    }
    return confirmed;
}

} // namespace ov
