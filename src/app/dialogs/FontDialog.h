#pragma once
// The font dialog of a text style: face, size and effects on Qt's font chooser, and a colour
// list of the basic colours beside it. The rules that decide what the dialog starts with and
// what it changes are plain functions, so that they hold whatever chooser shows them.

#include <QDialog>
#include <QFont>

#include <cstdint>

#include "style/clsFont.h"

class QComboBox;
class QFontDialog;
class QPushButton;

namespace ov {

// A colour the colour list can show: every component 0, 128 or 255, or the light grey
// (192, 192, 192).
bool IsBasicColor(const clsColor& color);

// What the dialog starts with: the font's face, size and effects, and its colour when that
// is a basic colour, black otherwise.
QFont FontDialogInitialFont(const clsFont& font);
std::int32_t FontDialogInitialColor(const clsFont& font);

// Takes the confirmed choice into the font: face, size to a tenth of a point, bold from a
// weight of at least semi-bold, the effects; the colour only when the user picked another
// than the dialog started with, so that a colour the list cannot show survives.
void ApplyFontChoice(clsFont& font, const QFont& chosen, std::int32_t chosenColor, std::int32_t initialColor);

class frmFont : public QDialog {
    Q_OBJECT
public:
    frmFont(const QFont& initial, std::int32_t initialColor, QWidget* parent = nullptr);

    QFontDialog* FontPanel() const { return fonts_; }
    QComboBox* ColorList() const { return cbColor_; }
    QPushButton* OKButton() const { return cmOK_; }
    QPushButton* CancelButton() const { return cmCancel_; }

    QFont SelectedFont() const;
    std::int32_t SelectedColor() const;

private:
    QFontDialog* fonts_ = nullptr;
    QComboBox* cbColor_ = nullptr;
    QPushButton* cmOK_ = nullptr;
    QPushButton* cmCancel_ = nullptr;
};

// Shows the font dialog on the font; false (and the font unchanged) when cancelled.
bool ShowFontDialog(clsFont& font, QWidget* owner);

} // namespace ov
