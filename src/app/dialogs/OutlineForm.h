#pragma once
// The "Outline Properties" dialog that edits one line style (weight, dash style, colour), the
// colour chooser behind every colour button, and how a style paints itself on such a button.

#include <QColor>
#include <QDialog>

#include <cstdint>

#include "style/ButtonLook.h"
#include "style/clsColor.h"
#include "style/clsOutline.h"

class QAbstractButton;
class QComboBox;
class QPushButton;

namespace ov {

// The weights offered, thinnest first: "None", "Hairline", then 0.25 pt to 5.0 pt.
struct OutlineWeight {
    const char* Text;
    double Width; // points
};
int OutlineWeightCount();
const OutlineWeight& GetOutlineWeight(int index);
// The entry that stands for a width: the first that is at least as wide, the widest for
// anything wider (the list cannot show every width a project may hold).
int OutlineWeightIndex(double width);

class OutlineForm : public QDialog {
    Q_OBJECT
public:
    // Works on a copy of the colour; the outline itself changes only on OK.
    explicit OutlineForm(clsOutline& edited, QWidget* parent = nullptr);

    QComboBox* WeightList() const { return cbWeight_; }
    QComboBox* StyleList() const { return cbStyle_; }
    QPushButton* ColorButton() const { return cmColor_; }
    QPushButton* OKButton() const { return cmOK_; }
    QPushButton* CancelButton() const { return cmCancel_; }
    // False only after Cancel (or Esc). Closing the window with its close box keeps the
    // outline as it was and still counts as confirmed, so a caller refreshes its button.
    bool Confirmed() const { return !cancelled_; }

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void OnColor();
    void OnOK();
    void ShowColor();

    clsOutline& edited_;
    clsColor color_;
    bool cancelled_ = false;
    bool closingByBox_ = false;
    QComboBox* cbWeight_ = nullptr;
    QComboBox* cbStyle_ = nullptr;
    QPushButton* cmColor_ = nullptr;
    QPushButton* cmOK_ = nullptr;
    QPushButton* cmCancel_ = nullptr;
};

// Shows the outline dialog modally on the outline; whether the caller should take the
// outline as edited (false after Cancel).
bool ShowOutlineDialog(clsOutline& outline, QWidget* parent);

// The colour chooser, started on the colour. Cancelling leaves the colour as it was; the
// result is always true, as callers refresh their button either way.
bool ShowColorDialog(clsColor& color, QWidget* parent);

// Gives a button the background and enabled state of a style's look; the look's text is
// left to the caller, since some styles show it beside the button and some on it.
void ApplyButtonColor(QAbstractButton& button, const ButtonLook& look);

// A colour value (red in the low byte) as a Qt colour, and back.
QColor ToQColor(std::int32_t rgbColor);
std::int32_t FromQColor(const QColor& color);

} // namespace ov
