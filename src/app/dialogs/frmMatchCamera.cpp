#include "app/dialogs/frmMatchCamera.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/windows/frmDocument.h"
#include "scene/clsScene.h"

namespace ov {

namespace {

struct Choice {
    const char* name;
    const char* text;
    const char* color;
};
const Choice kChoices[] = {
    {"rX", "&X lines (two edges parallel to X)", "#dc0000"}, {"rY", "&Y lines (two edges parallel to Y)", "#009600"},
    {"rZ", "&Z lines (two upright edges)", "#0000e6"},       {"rOrigin", "&Origin (where 0, 0, 0 lies)", "#000000"},
    {"rScale", "&Scale point (on X, at the length below)", "#dc0000"},
};

} // namespace

frmMatchCamera::frmMatchCamera(frmDocument& document, clsScene& scene)
    : QDialog(&document, Qt::Tool), document_(document), scene_(scene) {
    setObjectName("frmMatchCamera");
    setWindowTitle("Match Camera");
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Drag along edges of the picture in the perspective view;\n"
                                 "drag the ends of a line to move it.",
                                 this));
    elements_ = new QButtonGroup(this);
    for (int i = 0; i < 5; ++i) {
        auto* button = new QRadioButton(kChoices[i].text, this);
        button->setObjectName(kChoices[i].name);
        button->setStyleSheet(QString("color: %1").arg(kChoices[i].color));
        elements_->addButton(button, i);
        layout->addWidget(button);
    }
    elements_->button(0)->setChecked(true);
    connect(elements_, &QButtonGroup::idClicked, this,
            [this](int id) { session_.Active = static_cast<CameraMatchSession::Element>(id); });
    auto* form = new QFormLayout;
    spnLength_ = new QDoubleSpinBox(this);
    spnLength_->setObjectName("spnLength");
    spnLength_->setRange(0.001, 1e6);
    spnLength_->setDecimals(3);
    spnLength_->setValue(1);
    connect(spnLength_, qOverload<double>(&QDoubleSpinBox::valueChanged), this, [this](double v) {
        session_.Length = v;
        Refresh();
    });
    form->addRow("&Length:", spnLength_);
    layout->addLayout(form);
    lblOutcome_ = new QLabel(this);
    lblOutcome_->setObjectName("lblOutcome");
    lblOutcome_->setWordWrap(true);
    lblOutcome_->setMinimumWidth(320);
    lblOutcome_->setMinimumHeight(lblOutcome_->fontMetrics().lineSpacing() * 3); // room for a long message
    lblOutcome_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(lblOutcome_);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* clear = buttons->addButton("C&lear", QDialogButtonBox::ResetRole);
    clear->setObjectName("cmClear");
    cmApply_ = buttons->addButton("&Apply", QDialogButtonBox::ApplyRole);
    cmApply_->setObjectName("cmApply");
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    connect(clear, &QPushButton::clicked, this, &frmMatchCamera::OnClear);
    connect(cmApply_, &QPushButton::clicked, this, &frmMatchCamera::OnApply);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(buttons);

    document_.SetCameraMatch(&session_, [this] { Refresh(); });
    Refresh();
}

frmMatchCamera::~frmMatchCamera() { document_.SetCameraMatch(nullptr, {}); }

const clsView* frmMatchCamera::PerspectiveView() const {
    for (int i = 0; i < frmDocument::PortCount; ++i)
        if (document_.GetView(i).ViewType == clsView::Perspective) return &document_.GetView(i);
    return nullptr;
}

QString frmMatchCamera::Outcome() const { return lblOutcome_->text(); }

void frmMatchCamera::Refresh() {
    const clsView* view = PerspectiveView();
    const CameraMatchResult result =
        view ? session_.Solve(*view) : CameraMatchResult{"Show the perspective view in one of the views.", {}};
    cmApply_->setEnabled(result.Ok());
    if (!result.Ok()) {
        lblOutcome_->setText(QString::fromStdString(result.Error));
        return;
    }
    const CameraMatch& c = result.Camera;
    QString text = QString("Field of view %1°, eye at (%2, %3, %4).")
                       .arg(c.FieldOfView, 0, 'f', 1)
                       .arg(c.EyePoint.x, 0, 'f', 2)
                       .arg(c.EyePoint.y, 0, 'f', 2)
                       .arg(c.EyePoint.z, 0, 'f', 2);
    if (c.AxisAngleError > 0) text += QString(" The three axes meet within %1° of right angles.").arg(c.AxisAngleError, 0, 'f', 1);
    lblOutcome_->setText(text);
}

void frmMatchCamera::OnApply() {
    const clsView* view = PerspectiveView();
    if (!view) return;
    const CameraMatchResult result = session_.Solve(*view);
    if (!result.Ok()) {
        Refresh();
        return;
    }
    // As the perspective dialog does: one undo step, then every view follows the camera.
    scene_.TreeManager.PushUndoPerspective("Match Camera");
    ApplyCameraMatch(result.Camera, scene_.GetPerspective());
    // The camera's window now shows exactly the picture, centred: a shifted or scaled picture
    // goes back to that place, or the model would not lie on it.
    ReferencePicture& picture = scene_.Reference;
    picture.ShiftX = picture.ShiftY = 0;
    picture.Scale = 1;
    scene_.OnPerspectiveChange();
    scene_.UpdateViews();
    Refresh();
}

void frmMatchCamera::OnClear() {
    session_.Clear(session_.Active);
    document_.UpdateViews();
    Refresh();
}

} // namespace ov
