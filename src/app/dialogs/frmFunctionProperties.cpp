#include "app/dialogs/frmFunctionProperties.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "app/dialogs/frmFunctionChooser.h"
#include "expr/clsError.h"
#include "io/NumberText.h"
#include "platform/Desktop.h"
#include "platform/Prompt.h"
#include "scene/clsScene.h"
#include "shapes/clsFunction.h"

namespace ov {

namespace {

struct FieldInfo {
    const char* Name;    // of the object's definition, and of the pseudo function
    const char* Header;  // of a definition the object lacks
    const char* Caption;
    const char* Label;   // of the status line
};

const FieldInfo kFields[frmFunctionProperties::FieldCount] = {
    {"X", "x(t)", "X(t)=", "X(T)"},      {"Y", "y(t)", "Y(t)=", "Y(T)"},  {"Z", "z(t)", "Z(t)=", "Z(T)"},
    {"From", "From", "T From:", "From"}, {"To", "To", "T To:", "To"}, {"Step", "Step", "T Step:", "Step"},
};

// A curve with more points than this is refused: drawing it would only cost time and
// memory (the sampler stops there too).
constexpr long kMaxPoints = 1000000;

// Calls visit with each parameter value at which the function object samples its curve:
// from From towards To in steps of Step, the last value clamped to To. Stops early, with
// false, when visit answers false.
template <class Visit>
bool SampleParameters(double from, double to, double step, Visit&& visit) {
    const double sign = step > 0 ? 1 : step < 0 ? -1 : 0;
    const double epsilon = std::fabs(step) / 100;
    double t = from;
    for (double k = 0;;) {
        if (std::fabs(t - to) >= epsilon && sign * to <= sign * t) return true;
        if (sign * to < sign * t) t = to;
        if (!visit(t)) return false;
        ++k;
        const double next = from + k * step;
        if (next == t) return true; // a step too small to move t any further
        t = next;
    }
}

// The working copy's scope for verification, except that Esc stops at once: the user has
// just pressed OK and waits for the answer, so there is nothing to confirm.
class VerifyContext : public FunctionContext {
public:
    explicit VerifyContext(clsFunction& function) : function_(function) {}
    std::unique_ptr<clsFncDef> FindFunction(std::string_view name) override { return function_.FindFunction(name); }
    int NestFunction(std::string_view name, int delta) override { return function_.NestFunction(name, delta); }
    bool CheckAbort() override { return ov::CheckAbort(false); }

private:
    clsFunction& function_;
};

} // namespace

frmFunctionProperties::frmFunctionProperties(clsFunction& edited, clsScene& scene, QWidget* parent)
    : QDialog(parent), edited_(edited), scene_(scene) {
    setObjectName("frmObjPropFunction");
    setWindowTitle("Parametric Function Properties");

    // The boxes edit the object's own definitions. One lost from a damaged record comes
    // back empty, so the user can write it again (verification insists on it).
    for (const FieldInfo& f : kFields) {
        if (FindInList(edited_.Functions, f.Name)) continue;
        clsFncDef def;
        def.ParseName(f.Header);
        edited_.Functions.push_back(def);
    }

    auto* formulas = new QGridLayout;
    for (int i = FieldX; i <= FieldZ; ++i) {
        auto* label = new QLabel(kFields[i].Caption, this);
        txtFncBody_[i] = new QLineEdit(this);
        label->setBuddy(txtFncBody_[i]);
        cmFncChooser_[i] = new QPushButton("Insert Function", this);
        cmFncChooser_[i]->setObjectName(QString("cmFncChooser%1").arg(i));
        cmFncChooser_[i]->setAutoDefault(false);
        // Clicking must leave the focus, and so the selected text, in the formula box.
        cmFncChooser_[i]->setFocusPolicy(Qt::TabFocus);
        formulas->addWidget(label, i, 0);
        formulas->addWidget(txtFncBody_[i], i, 1);
        formulas->addWidget(cmFncChooser_[i], i, 2);
        QLineEdit* box = txtFncBody_[i];
        connect(cmFncChooser_[i], &QPushButton::clicked, this,
                [this, box] { ShowFunctionChooser(box, &scene_.Functions, this); });
    }
    formulas->setColumnStretch(1, 1);

    auto* range = new QHBoxLayout;
    for (int i = FieldFrom; i <= FieldStep; ++i) {
        auto* label = new QLabel(kFields[i].Caption, this);
        txtFncBody_[i] = new QLineEdit(this);
        label->setBuddy(txtFncBody_[i]);
        if (i > FieldFrom) range->addSpacing(12);
        range->addWidget(label);
        range->addWidget(txtFncBody_[i], 1);
    }

    lblStatus_ = new QLabel(this);
    lblStatus_->setObjectName("lblStatus");
    lblStatus_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    lblStatus_->setWordWrap(true);
    lblStatus_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblStatus_->setTextFormat(Qt::PlainText);
    // Two lines of room, so that a long message does not make the window jump.
    lblStatus_->setFixedHeight(2 * fontMetrics().lineSpacing() + 8);

    auto* buttons = new QDialogButtonBox(this);
    cmOK_ = buttons->addButton(QDialogButtonBox::Ok);
    cmOK_->setObjectName("cmOK");
    cmCancel_ = buttons->addButton(QDialogButtonBox::Cancel);
    cmCancel_->setObjectName("cmCancel");
    cmCancel_->setText("Cancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &frmFunctionProperties::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(formulas);
    layout->addSpacing(4);
    layout->addLayout(range);
    layout->addSpacing(4);
    layout->addWidget(lblStatus_);
    layout->addWidget(buttons);

    for (int i = 0; i < FieldCount; ++i) {
        txtFncBody_[i]->setObjectName(QString("txtFncBody%1").arg(i));
        txtFncBody_[i]->setText(QString::fromStdString(FindInList(edited_.Functions, kFields[i].Name)->Body));
        txtFncBody_[i]->installEventFilter(this);
        connect(txtFncBody_[i], &QLineEdit::textChanged, this, [this, i] { OnEdited(i); });
    }
    resize(600, sizeHint().height());
    setFixedHeight(sizeHint().height());
}

void frmFunctionProperties::OnEdited(int field) {
    if (clsFncDef* def = FindInList(edited_.Functions, kFields[field].Name))
        def->Body = txtFncBody_[field]->text().toStdString();
    ShowStatus(field);
}

void frmFunctionProperties::ShowStatus(int field) {
    // The formulas of t are only checked: their values at t = 0 would say little. The
    // range values are what the curve will use, so they are computed.
    const bool formula = field <= FieldZ;
    const std::string label = kFields[field].Label;
    const std::string body = txtFncBody_[field]->text().toStdString();
    clsFncDef probe;
    probe.ParseName(label);
    probe.Body = body;
    clsError error;
    double value = 0;
    const bool ok =
        probe.Evaluate(edited_, std::vector<double>(probe.Params.size(), 0), !formula, true, error, value);
    std::string text;
    if (!ok) text = label + ": " + error.GetError();
    else if (formula) text = label + " = \"" + body + "\"";
    else text = label + " = " + LocaleNumberText(value);
    lblStatus_->setText(QString::fromStdString(text));
}

bool frmFunctionProperties::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        for (int i = 0; i < FieldCount; ++i) {
            if (watched != txtFncBody_[i]) continue;
            if (verifying_) break;
            if (event->type() == QEvent::FocusIn) ShowStatus(i);
            else lblStatus_->clear();
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool frmFunctionProperties::VerifyT(clsError& error) {
    BeginAbortableOperation(); // an Esc pressed before OK was not meant to stop this
    VerifyContext context(edited_);
    const char* const names[] = {"FROM", "TO", "STEP"};
    double* const targets[] = {&edited_.TFrom, &edited_.TTo, &edited_.TStep};
    for (int i = 0; i < 3; ++i) {
        std::unique_ptr<clsFncDef> def = context.FindFunction(names[i]);
        if (!def) {
            error.InternalError();
            return false;
        }
        double value = 0;
        if (!def->Evaluate(context, {}, true, true, error, value)) return false;
        *targets[i] = value;
        if (ov::CheckAbort(false)) {
            error.Aborted();
            return false;
        }
    }
    if (edited_.TStep == 0) {
        error.SetError("T Step cannot be 0");
        return false;
    }
    return true;
}

bool frmFunctionProperties::VerifyFunc(const char* name, clsError& error) {
    VerifyContext context(edited_);
    std::unique_ptr<clsFncDef> def = context.FindFunction(name);
    if (!def) {
        error.InternalError();
        return false;
    }
    // Exactly one value, t, as the sampling passes it: a definition with another
    // parameter count fails here rather than on the canvas.
    std::vector<double> args(1, edited_.TFrom);
    double value = 0;
    if (!def->Evaluate(context, args, false, true, error, value)) return false;
    // Every value the curve will be sampled at: a domain error anywhere on the range is
    // found now rather than as a curve that silently ends early.
    return SampleParameters(edited_.TFrom, edited_.TTo, edited_.TStep, [&](double t) {
        args[0] = t;
        if (!def->Evaluate(context, args, true, true, error, value)) return false;
        if (ov::CheckAbort(false)) {
            error.Aborted();
            return false;
        }
        return true;
    });
}

bool frmFunctionProperties::VerifyInput(clsError& error) {
    if (!VerifyT(error)) return false;
    long points = 0;
    SampleParameters(edited_.TFrom, edited_.TTo, edited_.TStep, [&](double) { return ++points <= kMaxPoints; });
    if (points > kMaxPoints) {
        error.SetError("The curve has more than " + std::to_string(kMaxPoints) + " points");
        return false;
    }
    for (const char* name : {"X", "Y", "Z"})
        if (!VerifyFunc(name, error)) return false;
    return true;
}

void frmFunctionProperties::accept() {
    if (verifying_) return;
    verifying_ = true;
    const QString saved = lblStatus_->text();
    lblStatus_->setText("Verifying input... Please wait or press Esc to abort");
    lblStatus_->repaint();
    clsError error;
    const bool ok = VerifyInput(error);
    lblStatus_->setText(saved);
    verifying_ = false;
    if (!ok) {
        ShowMessage("Error: " + error.GetError(), PromptIcon::Critical, "Error");
        return;
    }
    edited_.ClearCache();
    QDialog::accept();
}

} // namespace ov
