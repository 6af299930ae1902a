#pragma once
// "Scene Properties": the view volume, grid spacing, nudge offset, rotation step, unit
// precision and the seven construction-line styles of one scene. It edits copies; OK checks
// the view volume and the precision and writes everything back, Cancel writes nothing.
//
// The dialog's scene is the application's dialog scene (App().DialogScene); Cancel clears
// that reference, which is how the caller tells a cancelled dialog from a confirmed one.

#include <QDialog>

#include <array>

#include "style/clsOutline.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ov {

class clsScene;

class frmSceneProperties : public QDialog {
    Q_OBJECT
public:
    // Reads App().DialogScene, which must be set.
    explicit frmSceneProperties(QWidget* parent = nullptr);

    static constexpr int StyleCount = 7;
    // The controls, by name: txtViewVolume0..5, cAutoGrid, txtGridMinor, txtGridMajor,
    // cAutoNudge, txtNudgeOffset, txtAngleStep, txtPrecision, the style rows' text boxes
    // (txtLineStyle, txtMinorStyle, txtMajorStyle, txtHorizonGridStyle, txtHorizonStyle,
    // txtVanishStyle, txtCenterOfView) and buttons (cmOtlLine, cmOtlGridMinor,
    // cmOtlGridMajor, cmOtlGridHorizon, cmOtlHorizon, cmOtlVanishLine, cmOtlCenterOfView),
    // cmOK and cmCancel (also found with findChild).
    QLineEdit* Field(const char* name) const;
    QPushButton* Button(const char* name) const;

    void reject() override;

private:
    void UpdateAutoControls();
    void ShowStyle(int row);
    void OnStyleButton(int row);
    void OnOK();

    clsScene& scene_;
    std::array<clsOutline, StyleCount> styles_; // working copies of the scene's styles
    std::array<QLineEdit*, 6> txtViewVolume_{};
    QCheckBox *cAutoGrid_ = nullptr, *cAutoNudge_ = nullptr;
    QLineEdit *txtGridMinor_ = nullptr, *txtGridMajor_ = nullptr, *txtNudgeOffset_ = nullptr;
    QLineEdit *txtAngleStep_ = nullptr, *txtPrecision_ = nullptr;
    QLabel *lblGridMinor_ = nullptr, *lblGridMajor_ = nullptr, *lblNudgeOffset_ = nullptr;
    std::array<QLineEdit*, StyleCount> txtStyle_{};
    std::array<QPushButton*, StyleCount> cmStyle_{};
};

// Shows "Scene Properties" modally on the scene. After OK the scene is marked changed, its
// automatic grid worked out again, its views repainted and the main window's status bar
// refreshed; the result says whether it was confirmed.
bool ShowScenePropertiesDialog(QWidget* parent, clsScene& scene);

} // namespace ov
