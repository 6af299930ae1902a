#include "app/dialogs/frmPerspective.h"

#include <QCheckBox>
#include <QComboBox>
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
#include <cmath>
#include <string>

#include "camera/clsPerspective.h"
#include "scene/AppState.h"
#include "scene/clsScene.h"

namespace ov {

namespace {

// What each entry of the field-of-view list carries: 0 for a window typed by hand, -1 for a
// window from the half-angle, otherwise ten times the distance : half-window ratio, so that
// the half window is distance x 10 / value.
constexpr int kCarried[clsPerspective::FieldCount] = {0, -1, 5, 10, 20, 30, 40};

constexpr double kDegToRad = 0.0174532925199433;
constexpr double kRadToDeg = 57.2957795130823;
constexpr double kMaxDistance = 1000000;
constexpr double kMinRatio = 0.001, kMaxRatio = 1000;
constexpr double kFarClipping = -100000;

// Raises a dialog's update lock for its lifetime.
class UpdateLock {
public:
    explicit UpdateLock(std::int32_t& lock) : lock_(lock) { ++lock_; }
    ~UpdateLock() { --lock_; }
    UpdateLock(const UpdateLock&) = delete;
    UpdateLock& operator=(const UpdateLock&) = delete;

private:
    std::int32_t& lock_;
};

std::string Text(const QLineEdit* field) { return field->text().toStdString(); }

void Show(QLineEdit* field, double value) { field->setText(QString::fromStdString(FormatNumber(value))); }

QLineEdit* NewField(QWidget* parent, const QString& name) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setMinimumWidth(72);
    return field;
}

// A frame of three coordinate boxes in a row.
QGroupBox* CoordinateFrame(QWidget* parent, const char* caption, const char* baseName, std::array<QLineEdit*, 3>& boxes) {
    auto* frame = new QGroupBox(caption, parent);
    auto* grid = new QGridLayout(frame);
    const char* axes[] = {"X:", "Y:", "Z:"};
    for (int i = 0; i < 3; ++i) {
        boxes[static_cast<std::size_t>(i)] = NewField(frame, QString("%1%2").arg(baseName).arg(i));
        auto* label = new QLabel(axes[i], frame);
        label->setBuddy(boxes[static_cast<std::size_t>(i)]);
        grid->addWidget(label, 0, 2 * i);
        grid->addWidget(boxes[static_cast<std::size_t>(i)], 0, 2 * i + 1);
        grid->setColumnStretch(2 * i + 1, 1);
    }
    return frame;
}

QLabel* BuddyLabel(QWidget* parent, const char* caption, QWidget* buddy) {
    auto* label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

frmPerspective::frmPerspective(clsScene& scene, QWidget* parent)
    : QDialog(parent), scene_(scene), camera_(scene.GetPerspective()) {
    setObjectName("frmPerspective");
    setWindowTitle(QString::fromStdString("Edit Perspective - " + scene.Name));

    // Left: the camera's position and orientation, the horizon and the display switches.
    auto* left = new QVBoxLayout;
    left->addWidget(CoordinateFrame(this, "Eye Point", "txtViewPoint", txtViewPoint_));
    left->addWidget(CoordinateFrame(this, "Viewing Direction", "txtNormal", txtNormal_));
    left->addWidget(CoordinateFrame(this, "View-Up Vector", "txtViewUp", txtViewUp_));
    left->addWidget(CoordinateFrame(this, "Horizon Plane Normal", "txtHorizon", txtHorizon_));
    txtHorizonOffset_ = NewField(this, "txtHorizonOffset");
    auto* offsetRow = new QFormLayout;
    offsetRow->addRow(BuddyLabel(this, "Horizon Plane &Offset:", txtHorizonOffset_), txtHorizonOffset_);
    left->addLayout(offsetRow);
    cShowHorizon_ = new QCheckBox("Show &Horizon", this);
    cShowHorizon_->setObjectName("cShowHorizon");
    cShowCenter_ = new QCheckBox("Show &Center Of View", this);
    cShowCenter_->setObjectName("cShowCenter");
    cShowVanish_ = new QCheckBox("Enable &Vanishing Lines", this);
    cShowVanish_->setObjectName("cShowVanish");
    left->addWidget(cShowHorizon_);
    left->addWidget(cShowCenter_);
    left->addWidget(cShowVanish_);
    left->addStretch(1);

    // Right: the picture plane, the view window and the clipping planes.
    txtDistance_ = NewField(this, "txtDistance");
    cbFieldOfView_ = new QComboBox(this);
    cbFieldOfView_->setObjectName("cbFieldOfView");
    for (int i = 0; i < clsPerspective::FieldCount; ++i) cbFieldOfView_->addItem(clsPerspective::FieldName(i), kCarried[i]);
    txtAngle_ = NewField(this, "txtAngle");
    txtUVRatio_ = NewField(this, "txtUVRatio");
    lblAngle_ = BuddyLabel(this, "&Angle:", txtAngle_);
    lblUVRatio_ = BuddyLabel(this, "u/v-&ratio:", txtUVRatio_);
    auto* projection = new QFormLayout;
    projection->addRow(BuddyLabel(this, "&Distance:", txtDistance_), txtDistance_);
    projection->addRow(BuddyLabel(this, "&Field Of View:", cbFieldOfView_), cbFieldOfView_);
    lblWholeAngle_ = new QLabel(this);
    lblWholeAngle_->setObjectName("lblWholeAngle");
    auto* angleRow = new QHBoxLayout;
    angleRow->addWidget(txtAngle_);
    angleRow->addWidget(lblWholeAngle_);
    projection->addRow(lblAngle_, angleRow);
    projection->addRow(lblUVRatio_, txtUVRatio_);

    auto* window = new QGroupBox("View Window", this);
    auto* windowGrid = new QGridLayout(window);
    txtUMin_ = NewField(window, "txtUMin");
    txtUMax_ = NewField(window, "txtUMax");
    txtVMin_ = NewField(window, "txtVMin");
    txtVMax_ = NewField(window, "txtVMax");
    lblWindow_ = {BuddyLabel(window, "u-min:", txtUMin_), BuddyLabel(window, "u-max:", txtUMax_),
                  BuddyLabel(window, "v-min:", txtVMin_), BuddyLabel(window, "v-max:", txtVMax_)};
    windowGrid->addWidget(lblWindow_[0], 0, 0);
    windowGrid->addWidget(txtUMin_, 0, 1);
    windowGrid->addWidget(lblWindow_[1], 0, 2);
    windowGrid->addWidget(txtUMax_, 0, 3);
    windowGrid->addWidget(lblWindow_[2], 1, 0);
    windowGrid->addWidget(txtVMin_, 1, 1);
    windowGrid->addWidget(lblWindow_[3], 1, 2);
    windowGrid->addWidget(txtVMax_, 1, 3);

    auto* clipping = new QGroupBox("Line Clipping", this);
    auto* clipGrid = new QGridLayout(clipping);
    txtClipFront_ = NewField(clipping, "txtClipFront");
    cClipBack_ = new QCheckBox("Clip &Back:", clipping);
    cClipBack_->setObjectName("cClipBack");
    txtClipBack_ = NewField(clipping, "txtClipBack");
    lblClipBack_ = BuddyLabel(clipping, "Back:", txtClipBack_);
    clipGrid->addWidget(BuddyLabel(clipping, "Front:", txtClipFront_), 0, 0);
    clipGrid->addWidget(txtClipFront_, 0, 1);
    clipGrid->addWidget(cClipBack_, 1, 0, 1, 2);
    clipGrid->addWidget(lblClipBack_, 2, 0);
    clipGrid->addWidget(txtClipBack_, 2, 1);

    auto* right = new QVBoxLayout;
    right->addLayout(projection);
    right->addWidget(window);
    right->addWidget(clipping);
    right->addStretch(1);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addSpacing(8);
    columns->addLayout(right, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
    ok->setObjectName("OKButton");
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName("CancelButton");
    QPushButton* apply = buttons->addButton(QDialogButtonBox::Apply);
    apply->setObjectName("ApplyButton");
    connect(ok, &QPushButton::clicked, this, &frmPerspective::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(apply, &QPushButton::clicked, this, &frmPerspective::Apply);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);

    // Typing in any box that the window depends on shows the new window at once.
    for (QLineEdit* field : {txtAngle_, txtDistance_, txtUMin_, txtUMax_, txtVMin_, txtVMax_, txtUVRatio_})
        connect(field, &QLineEdit::textChanged, this, &frmPerspective::OnPreviewInput);
    connect(cbFieldOfView_, qOverload<int>(&QComboBox::currentIndexChanged), this, &frmPerspective::OnPreviewInput);
    connect(cClipBack_, &QCheckBox::toggled, this, [this] {
        if (updateLock_ == 0) UpdateClipBackEnabling();
    });

    FillControls();
}

QLineEdit* frmPerspective::Field(const char* name) const { return findChild<QLineEdit*>(name); }

void frmPerspective::FillControls() {
    UpdateLock lock(updateLock_);
    const clsPerspective& c = camera_;
    const clsPoint3D* points[] = {&c.EyePoint, &c.Normal, &c.ViewUp};
    const std::array<QLineEdit*, 3>* boxes[] = {&txtViewPoint_, &txtNormal_, &txtViewUp_};
    for (int i = 0; i < 3; ++i) {
        Show((*boxes[i])[0], points[i]->x);
        Show((*boxes[i])[1], points[i]->y);
        Show((*boxes[i])[2], points[i]->z);
    }
    Show(txtDistance_, c.Distance);
    Show(txtAngle_, c.FieldAngle);
    cbFieldOfView_->setCurrentIndex(c.Field >= 0 && c.Field < clsPerspective::FieldCount ? c.Field : -1);
    Show(txtUMin_, c.UMin);
    Show(txtUMax_, c.UMax);
    Show(txtVMin_, c.VMin);
    Show(txtVMax_, c.VMax);
    Show(txtUVRatio_, c.UVRatio);
    UpdatePreview();
    Show(txtClipFront_, c.FrontClipping);
    Show(txtClipBack_, c.BackClipping);
    cClipBack_->setChecked(c.ClipBack);
    UpdateClipBackEnabling();
    cShowHorizon_->setChecked(c.IsHorizonVisible());
    cShowCenter_->setChecked(c.IsShowCrossHairs());
    Show(txtHorizon_[0], c.Horizon.x);
    Show(txtHorizon_[1], c.Horizon.y);
    Show(txtHorizon_[2], c.Horizon.z);
    Show(txtHorizonOffset_, c.HorizonOffset);
    cShowVanish_->setChecked(c.ShowVanishLines);
}

void frmPerspective::OnPreviewInput() {
    if (updateLock_ == 0) UpdatePreview();
}

void frmPerspective::UpdatePreview() {
    ++previewRuns_;
    UpdateLock lock(updateLock_); // the boxes written below must not start it again
    lblWholeAngle_->clear();
    const int index = cbFieldOfView_->currentIndex();
    if (index < 0) return;
    const int carried = kCarried[index];

    const double d = ParseNumberClamped(Text(txtDistance_), 0, kMaxDistance, false);
    double edges[4]; // u-min, u-max, v-min, v-max
    QLineEdit* const boxes[4] = {txtUMin_, txtUMax_, txtVMin_, txtVMax_};
    if (carried == 0) {
        for (int i = 0; i < 4; ++i) edges[i] = ParseNumber(Text(boxes[i]));
    } else {
        const double r = ParseNumberClamped(Text(txtUVRatio_), kMinRatio, kMaxRatio, true);
        const double h = carried > 0 ? d * 10 / carried
                                     : std::tan(ParseNumberClamped(Text(txtAngle_), 0, 90, false) * kDegToRad) * d;
        // The longer side of the window takes the half size h, as the camera does it.
        if (r < 1) {
            edges[0] = -h * r;
            edges[1] = h * r;
            edges[2] = -h;
            edges[3] = h;
        } else {
            edges[0] = -h;
            edges[1] = h;
            edges[2] = -h / r;
            edges[3] = h / r;
        }
        for (int i = 0; i < 4; ++i) Show(boxes[i], edges[i]);
    }

    for (int i = 0; i < 4; ++i) {
        boxes[i]->setEnabled(carried == 0);
        lblWindow_[static_cast<std::size_t>(i)]->setEnabled(carried == 0);
    }
    txtUVRatio_->setEnabled(carried != 0);
    lblUVRatio_->setEnabled(carried != 0);
    txtAngle_->setEnabled(carried < 0);
    lblAngle_->setEnabled(carried < 0);

    double angle = ParseNumberClamped(Text(txtAngle_), 0, 90, false);
    if (carried >= 0) {
        if (d <= 0) return;
        double m = 0;
        for (double e : edges) m = std::max(m, std::fabs(e));
        angle = std::atan(m / d) * kRadToDeg;
        Show(txtAngle_, angle);
    }
    lblWholeAngle_->setText(QString("field of view %1 degrees").arg(2 * angle, 0, 'f', 1));
}

void frmPerspective::UpdateClipBackEnabling() {
    lblClipBack_->setEnabled(cClipBack_->isChecked());
    txtClipBack_->setEnabled(cClipBack_->isChecked());
}

void frmPerspective::Apply() {
    scene_.TreeManager.PushUndoPerspective("Edit Perspective");
    clsPerspective& c = camera_;
    clsPoint3D* points[] = {&c.EyePoint, &c.Normal, &c.ViewUp, &c.Horizon};
    const std::array<QLineEdit*, 3>* boxes[] = {&txtViewPoint_, &txtNormal_, &txtViewUp_, &txtHorizon_};
    for (int i = 0; i < 4; ++i) {
        points[i]->x = ParseNumber(Text((*boxes[i])[0]));
        points[i]->y = ParseNumber(Text((*boxes[i])[1]));
        points[i]->z = ParseNumber(Text((*boxes[i])[2]));
    }

    c.Distance = ParseNumberClamped(Text(txtDistance_), 0, kMaxDistance, false);
    c.FieldAngle = ParseNumberClamped(Text(txtAngle_), 0, 90, false);
    c.UVRatio = ParseNumberClamped(Text(txtUVRatio_), kMinRatio, kMaxRatio, true);
    if (cbFieldOfView_->currentIndex() >= 0) c.Field = cbFieldOfView_->currentIndex();
    if (c.Field != 0) {
        c.UpdateFieldOfView();
    } else {
        c.UMin = ParseNumber(Text(txtUMin_));
        c.UMax = ParseNumber(Text(txtUMax_));
        c.VMin = ParseNumber(Text(txtVMin_));
        c.VMax = ParseNumber(Text(txtVMax_));
    }

    // The front plane never lies behind the eye, the back plane never in front of it.
    c.FrontClipping = ParseNumberClamped(Text(txtClipFront_), kFarClipping, c.Distance, true);
    c.BackClipping = ParseNumberClamped(Text(txtClipBack_), kFarClipping, c.FrontClipping, true);

    c.ClipBack = cClipBack_->isChecked();
    c.ShowHorizon = cShowHorizon_->isChecked();
    c.ShowCenter = cShowCenter_->isChecked();
    c.HorizonOffset = ParseNumber(Text(txtHorizonOffset_));
    c.ShowVanishLines = cShowVanish_->isChecked();

    // Clamped and computed values become visible.
    FillControls();
    applied_ = true;
    scene_.OnPerspectiveChange();
    scene_.UpdateViews();
}

void frmPerspective::OnOK() {
    Apply();
    accept();
}

bool ShowPerspectiveDialog(QWidget* parent, clsScene& scene) {
    frmPerspective dialog(scene, parent);
    dialog.exec();
    return dialog.Applied();
}

} // namespace ov
