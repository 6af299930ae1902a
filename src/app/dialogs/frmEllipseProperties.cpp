#include "app/dialogs/frmEllipseProperties.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>
#include <cstdint>

#include "io/NumberText.h"
#include "platform/Prompt.h"
#include "scene/AppState.h"
#include "shapes/clsEllipse.h"

namespace ov {

namespace {

constexpr double kDegree = 0.0174532925199433;

// The angle of (x, y) in [0, 2 pi), as the formula language's ARCTAN2 gives it; 0 at the
// origin, where there is no angle to show.
double FullAngle(double y, double x) {
    double a = Atan2(y, x);
    if (a < 0) a += 6.28318530717958;
    return a;
}

// Degrees brought into [0, 360), as radians.
double NormalizedRadians(double degrees) {
    double d = std::fmod(degrees, 360.0);
    if (d < 0) d += 360;
    if (d >= 360) d = 0; // a tiny negative remainder plus 360 rounds up to 360
    return d * kDegree;
}

// The flatness as typed, read like every other number of the dialog: a blank or a text
// that is no number reads as 0, the default; otherwise the leading number, rounded as
// integer conversion does. False when out of range.
bool ReadFlatness(const QString& typed, std::int32_t& flatness) {
    const double value = RoundHalfEven(ParseNumber(typed.toStdString()));
    if (!(value >= 0 && value <= 400)) return false;
    flatness = static_cast<std::int32_t>(value);
    return flatness == 0 || flatness >= 4;
}

QLineEdit* NumberBox(const char* name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance("-0000.0000") + 12);
    return box;
}

} // namespace

double frmEllipseProperties::Shown::Read() const {
    return Box->text() == Text ? Value : ParseNumber(Box->text().toStdString());
}

frmEllipseProperties::Shown frmEllipseProperties::Show(QLineEdit* box, double value, const QString& text) {
    box->setText(text);
    return {box, text, value};
}

frmEllipseProperties::frmEllipseProperties(clsEllipse& edited, QWidget* parent) : QDialog(parent), edited_(edited) {
    setObjectName("frmObjPropEllipse");
    setWindowTitle("Ellipse Properties");

    auto* centerFrame = new QGroupBox("Center Position", this);
    auto* centerRow = new QHBoxLayout(centerFrame);
    const char* const axes[] = {"X:", "Y:", "Z:"};
    const char* const names[] = {"txtCenter0", "txtCenter1", "txtCenter2"};
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(axes[i], centerFrame);
        txtCenter_[i] = NumberBox(names[i], centerFrame);
        label->setBuddy(txtCenter_[i]);
        if (i > 0) centerRow->addSpacing(8);
        centerRow->addWidget(label);
        centerRow->addWidget(txtCenter_[i], 1);
    }

    auto* grid = new QGridLayout;
    auto addField = [&](int row, int column, const char* caption, QLineEdit* box) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(box);
        grid->addWidget(label, row, column);
        grid->addWidget(box, row, column + 1);
    };
    txtRadius1_ = NumberBox("txtRadius1", this);
    txtRadius2_ = NumberBox("txtRadius2", this);
    addField(0, 0, "Radius 1:", txtRadius1_);
    addField(0, 2, "Radius 2:", txtRadius2_);

    rEllipse_ = new QRadioButton("Ellipse", this);
    rEllipse_->setObjectName("rEllipse");
    rArc_ = new QRadioButton("Arc", this);
    rArc_->setObjectName("rArc");
    auto* options = new QHBoxLayout;
    options->addWidget(rEllipse_);
    options->addSpacing(16);
    options->addWidget(rArc_);
    options->addStretch(1);
    grid->addLayout(options, 1, 0, 1, 4);

    txtStartAngle_ = NumberBox("txtStartAngle", this);
    txtEndAngle_ = NumberBox("txtEndAngle", this);
    addField(2, 0, "Start Angle:", txtStartAngle_);
    addField(2, 2, "End Angle:", txtEndAngle_);
    txtFlatness_ = NumberBox("txtFlatness", this);
    addField(3, 0, "Flatness:", txtFlatness_);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setHorizontalSpacing(8);

    auto* buttons = new QDialogButtonBox(this);
    cmOK_ = buttons->addButton(QDialogButtonBox::Ok);
    cmOK_->setObjectName("cmOK");
    cmCancel_ = buttons->addButton(QDialogButtonBox::Cancel);
    cmCancel_->setObjectName("cmCancel");
    cmCancel_->setText("Cancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &frmEllipseProperties::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(centerFrame);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    // What the user sees is measured in the document: the centre and the radius ends go
    // through the matrix, so a stretched or turned ellipse shows its real size.
    center_ = edited_.Matrix.TransformPoint({0, 0, 0});
    const double c[3] = {center_.x, center_.y, center_.z};
    for (int i = 0; i < 3; ++i)
        centerShown_[i] = Show(txtCenter_[i], c[i], QString::fromStdString(FormatNumber(c[i])));
    for (int i = 0; i < 2; ++i) {
        const clsPoint3D end = edited_.GetHandlePoint(i + 1);
        // hypot: the squares of very large radii would overflow.
        displayed_[i] = std::hypot(end.x - center_.x, end.y - center_.y, end.z - center_.z);
        radiusShown_[i] =
            Show(RadiusField(i + 1), displayed_[i], QString::fromStdString(FormatNumber(displayed_[i])));
    }
    txtFlatness_->setText(QString::number(edited_.Flatness < 1 ? 48 : edited_.Flatness));
    (edited_.IsArc() ? rArc_ : rEllipse_)->setChecked(true);
    const double parameters[2] = {edited_.StartAngle, edited_.EndAngle};
    QLineEdit* angleBoxes[2] = {txtStartAngle_, txtEndAngle_};
    for (int i = 0; i < 2; ++i) {
        const double a = parameters[i];
        const double degrees =
            FullAngle(edited_.RadiusY * std::sin(a), edited_.RadiusX * std::cos(a)) / kDegree;
        const double rounded = std::round(degrees * 1000) / 1000;
        angleShown_[i] = Show(angleBoxes[i], degrees, QString::fromStdString(LocaleNumberText(rounded)));
    }

    connect(rEllipse_, &QRadioButton::clicked, this, &frmEllipseProperties::ApplyAngleLock);
    connect(rArc_, &QRadioButton::clicked, this, &frmEllipseProperties::ApplyAngleLock);
    ApplyAngleLock();
    setFixedHeight(sizeHint().height());
}

void frmEllipseProperties::ApplyAngleLock() {
    // The angles mean something only for an arc; for a full ellipse they are shown but
    // cannot be edited, greyed like a button face.
    const bool arc = rArc_->isChecked();
    for (QLineEdit* box : {txtStartAngle_, txtEndAngle_}) {
        box->setReadOnly(!arc);
        QPalette p = box->palette();
        p.setColor(QPalette::Base, palette().color(arc ? QPalette::Base : QPalette::Button));
        box->setPalette(p);
    }
}

void frmEllipseProperties::accept() {
    const clsPoint3D center(centerShown_[0].Read(), centerShown_[1].Read(), centerShown_[2].Read());
    const double entered[2] = {radiusShown_[0].Read(), radiusShown_[1].Read()};

    double start = 0, end = 0;
    const bool arc = rArc_->isChecked();
    if (arc) {
        start = NormalizedRadians(angleShown_[0].Read());
        end = NormalizedRadians(angleShown_[1].Read());
        // Ends this close together leave nothing to draw of an arc: the whole ellipse.
        if (std::fabs(AngleDifference(start, end)) < 0.02) start = end = 0;
    }

    std::int32_t flatness = 0;
    if (!ReadFlatness(txtFlatness_->text(), flatness)) {
        ShowMessage("Ellipse flatness must be between 4 and 400", PromptIcon::Critical);
        return;
    }

    // The entered radii scale the stored ones, so that a stretch in the matrix is kept.
    const double stored[2] = {edited_.RadiusX, edited_.RadiusY};
    double radius[2] = {0, 0};
    for (int i = 0; i < 2; ++i)
        radius[i] = displayed_[i] == 0 ? entered[i] : stored[i] * (entered[i] / displayed_[i]);
    if (!(entered[0] > 0 && entered[1] > 0) || !std::isfinite(radius[0]) || !std::isfinite(radius[1])) {
        ShowMessage("Invalid radius value specified", PromptIcon::Critical);
        return;
    }

    const clsPoint3D shift(center.x - center_.x, center.y - center_.y, center.z - center_.z);
    if (!std::isfinite(shift.x) || !std::isfinite(shift.y) || !std::isfinite(shift.z)) {
        ShowMessage("Invalid center position specified", PromptIcon::Critical);
        return;
    }

    // The user typed polar angles of the arc's ends; the object keeps the parameter angles
    // of those points on the new radii.
    if (arc && radius[0] > 0 && radius[1] > 0 && radius[0] != radius[1]) {
        start = FullAngle(std::sin(start) / radius[1], std::cos(start) / radius[0]);
        end = FullAngle(std::sin(end) / radius[1], std::cos(end) / radius[0]);
    }

    edited_.SetProps(radius[0], radius[1], start, end, flatness, nullptr);
    edited_.Translate(shift.x, shift.y, shift.z);
    QDialog::accept();
}

} // namespace ov
