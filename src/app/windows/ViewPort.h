#pragma once
// One view port of a document window: a widget that shows a Canvas and hands its mouse and
// key events on with the key codes and shift bits the views work with.
//
// The picture is made by the owner (Render) and kept in the canvas. Invalidate only marks it
// out of date; it is made again before it is next shown or before anything is drawn over it
// (EnsureRendered), so a burst of repaint requests costs one paint.

#include "paint/Canvas.h"
#include "tools/InputCodes.h"

#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>

namespace ov {

class IViewPortEvents {
public:
    virtual ~IViewPortEvents() = default;
    // Draws the whole picture of the port into its canvas.
    virtual void OnPortRender(int port) = 0;
    virtual void OnPortMouseDown(int port, int button, double x, double y, int shift) = 0;
    virtual void OnPortMouseMove(int port, int buttons, double x, double y, int shift) = 0;
    virtual void OnPortMouseUp(int port, int button, double x, double y, int shift) = 0;
    // The wheel turned by (angleX, angleY) eighths of a degree with the pointer at (x, y).
    virtual void OnPortWheel(int port, double angleX, double angleY, double x, double y, int shift) = 0;
    // The pointer left the port.
    virtual void OnPortLeave(int port) = 0;
    // Only the keys of the namespace keys arrive here.
    virtual void OnPortKeyDown(int port, int keyCode, int shift) = 0;
};

// A picture is never made while a long computation lets events through (the objects may
// be half-made then): the port keeps its old picture and makes the new one once the
// computation is over.
class ViewPort : public QWidget {
    Q_OBJECT
public:
    ViewPort(int index, IViewPortEvents* events, QWidget* parent);
    ~ViewPort() override;

    int Index() const { return index_; }
    Canvas& GetCanvas() { return canvas_; }

    // The picture is out of date: it is made again before it is next shown.
    void Invalidate();
    bool IsDirty() const { return dirty_; }
    // Makes the picture now if it is out of date (and the port has a size).
    void EnsureRendered();
    // Follows the widget's size at once, also while it is hidden (a hidden widget hears of
    // its new size only when it shows again).
    void SyncCanvasSize();
    // Stops all calls to the owner (the owner is going away).
    void Detach() { events_ = nullptr; }

    // The shift bits of a set of modifier keys.
    static int ShiftBits(Qt::KeyboardModifiers modifiers);
    // The key code of a key of this port, or 0 for a key it does not use.
    static int KeyCode(int qtKey);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    // Makes the picture if it is out of date; whether it did.
    bool RenderIfDirty();

    int index_;
    IViewPortEvents* events_;
    Canvas canvas_;
    bool dirty_ = true;
    bool rendering_ = false;
    QTimer retry_; // asks again for a picture that could not be made yet
};

} // namespace ov
