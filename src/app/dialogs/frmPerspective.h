#pragma once
// "Edit Perspective": every field of a scene's camera in one window. It edits the camera
// itself: Apply records one undo step and writes all fields, OK applies and closes, Cancel
// closes and keeps what was applied before. While the user types, the window boxes follow
// the chosen field of view and the angle box shows the half-angle that the window implies.

#include <QDialog>

#include <array>
#include <cstdint>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ov {

class clsPerspective;
class clsScene;

class frmPerspective : public QDialog {
    Q_OBJECT
public:
    // Edits the scene's camera; numbers show with the active scene's precision.
    explicit frmPerspective(clsScene& scene, QWidget* parent = nullptr);

    // Writes every field into the camera as one "Edit Perspective" undo step, with the
    // distances and angles kept in their ranges, and shows the stored values.
    void Apply();
    // Whether Apply ran at least once.
    bool Applied() const { return applied_; }
    // How often the window boxes were worked out, for checking that filling the controls
    // does not set off the preview again through their change events.
    int PreviewRuns() const { return previewRuns_; }

    // The controls, by name: txtViewPoint0..2, txtNormal0..2, txtViewUp0..2, txtDistance,
    // cbFieldOfView, txtAngle, txtUVRatio, txtUMin, txtUMax, txtVMin, txtVMax, txtClipFront,
    // cClipBack, txtClipBack, txtHorizon0..2, txtHorizonOffset, cShowHorizon, cShowCenter,
    // cShowVanish, ApplyButton, OKButton, CancelButton (also found with findChild).
    QLineEdit* Field(const char* name) const;

private:
    // Fills every control from the camera, with the change events held off.
    void FillControls();
    // Works out the window boxes and the implied half-angle from the field of view.
    void UpdatePreview();
    void OnPreviewInput();
    void UpdateClipBackEnabling();
    void OnOK();

    clsScene& scene_;
    clsPerspective& camera_;
    std::int32_t updateLock_ = 0; // above 0 while the dialog fills its own controls
    bool applied_ = false;
    int previewRuns_ = 0;

    std::array<QLineEdit*, 3> txtViewPoint_{}, txtNormal_{}, txtViewUp_{}, txtHorizon_{};
    QLineEdit *txtDistance_ = nullptr, *txtAngle_ = nullptr, *txtUVRatio_ = nullptr;
    QLineEdit *txtUMin_ = nullptr, *txtUMax_ = nullptr, *txtVMin_ = nullptr, *txtVMax_ = nullptr;
    QLineEdit *txtClipFront_ = nullptr, *txtClipBack_ = nullptr, *txtHorizonOffset_ = nullptr;
    QComboBox* cbFieldOfView_ = nullptr;
    QCheckBox *cClipBack_ = nullptr, *cShowHorizon_ = nullptr, *cShowCenter_ = nullptr, *cShowVanish_ = nullptr;
    QLabel *lblAngle_ = nullptr, *lblUVRatio_ = nullptr, *lblClipBack_ = nullptr;
    // The angle is half the field of view across the window's longer side; beside it the
    // whole field of view, which is what photographers and other programs quote.
    QLabel* lblWholeAngle_ = nullptr;
    std::array<QLabel*, 4> lblWindow_{};
};

// Shows "Edit Perspective" modally on the scene's camera; whether anything was applied.
bool ShowPerspectiveDialog(QWidget* parent, clsScene& scene);

} // namespace ov
