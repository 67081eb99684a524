#pragma once
// Controls placed in twips: the windowed base class `Control`, the container
// `PictureBox` that paints its graphical controls in stacking order and routes
// the mouse to the topmost label or image, and the graphical controls
// themselves (label, line, shape, image).

#include "forms/core.h"

#include <QEvent>
#include <QFont>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <unordered_set>
#include <vector>

class QButtonGroup;

namespace forms {

class PictureBox;

// ---------------------------------------------------------------------------
// Windowed controls
// ---------------------------------------------------------------------------

// A Qt widget placed in twips inside its container's client area. Windowed
// controls always lie above the graphical controls of their container.
class Control : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double Left READ left WRITE setLeft)
    Q_PROPERTY(double Top READ top WRITE setTop)
    Q_PROPERTY(double Width READ widthTwips WRITE setWidthTwips)
    Q_PROPERTY(double Height READ heightTwips WRITE setHeightTwips)
    Q_PROPERTY(bool Visible READ isShownFlag WRITE setShownFlag)
    Q_PROPERTY(bool Enabled READ isEnabledFlag WRITE setEnabledFlag)
    Q_PROPERTY(QString ToolTipText READ toolTipText WRITE setToolTipText)
    Q_PROPERTY(QString BackColor READ backColorText WRITE setBackColorText)
    Q_PROPERTY(QString ForeColor READ foreColorText WRITE setForeColorText)
    Q_PROPERTY(int Index READ index)

public:
    Control(QWidget* parent, const QString& name, int index = -1);

    double left() const { return left_; }
    double top() const { return top_; }
    double widthTwips() const { return width_; }
    double heightTwips() const { return height_; }
    void setLeft(double v);
    void setTop(double v);
    void setWidthTwips(double v);
    void setHeightTwips(double v);
    void place(double left, double top, double width, double height);

    bool isShownFlag() const { return shown_; }
    void setShownFlag(bool v);
    bool isEnabledFlag() const { return enabled_; }
    void setEnabledFlag(bool v);
    // The tooltip's text, shown as written (see plainToolTip).
    QString toolTipText() const { return toolTipText_; }
    void setToolTipText(const QString& t)
    {
        toolTipText_ = t;
        setToolTip(plainToolTip(t));
    }

    QColor backColor() const { return back_; }
    QColor foreColor() const { return fore_; }
    QString backColorText() const { return colorText(back_); }
    QString foreColorText() const { return colorText(fore_); }
    void setBackColor(const QColor& c);
    void setForeColor(const QColor& c);
    void setBackColorText(const QString& t) { setBackColor(colorFromText(t)); }
    void setForeColorText(const QString& t) { setForeColor(colorFromText(t)); }

    int index() const { return index_; }

    // Offset of the client area inside the widget, in pixels (borders).
    virtual QPoint clientOrigin() const { return QPoint(0, 0); }
    // The group the option buttons inside this container share.
    QButtonGroup* optionGroup();

    // A pointer event delivered by the held-button rule to the control under the
    // pointer; pos is in this widget's pixels.
    virtual void deliverMouse(QEvent::Type type, QPointF pos, Qt::MouseButton button,
                              Qt::MouseButtons buttons, Qt::KeyboardModifiers mods);

signals:
    void mouseDown(int button, int shift, double x, double y);
    void mouseMove(int button, int shift, double x, double y);
    void mouseUp(int button, int shift, double x, double y);
    void clicked();

protected:
    // Widgets that carry the mouse for this control (the control itself and any
    // inner Qt widget) are watched through this filter.
    void watch(QWidget* w);
    // The Qt widget that fills this control (buttons, boxes, bars).
    void setInner(QWidget* w);
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void applyGeometry();
    virtual void applyColors() {}
    // Converts a mouse event on a watched widget to the VB-style signals.
    void emitMouse(QEvent::Type type, QPointF pixelPos, Qt::MouseButton button,
                   Qt::MouseButtons buttons, Qt::KeyboardModifiers mods);

    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool shown_ = true;
    bool enabled_ = true;
    QColor back_, fore_;
    int index_;
    QButtonGroup* optionGroup_ = nullptr;
    QWidget* inner_ = nullptr;

private:
    QString toolTipText_;
};

// ---------------------------------------------------------------------------
// Graphical controls
// ---------------------------------------------------------------------------

class GraphicControl : public QObject {
    Q_OBJECT
    Q_PROPERTY(double Left READ left WRITE setLeft)
    Q_PROPERTY(double Top READ top WRITE setTop)
    Q_PROPERTY(double Width READ width WRITE setWidth)
    Q_PROPERTY(double Height READ height WRITE setHeight)
    Q_PROPERTY(bool Visible READ isVisible WRITE setVisible)
    Q_PROPERTY(QString BackColor READ backColorText WRITE setBackColorText)
    Q_PROPERTY(QString ForeColor READ foreColorText WRITE setForeColorText)
    Q_PROPERTY(QString BorderColor READ borderColorText WRITE setBorderColorText)
    Q_PROPERTY(QString FillColor READ fillColorText WRITE setFillColorText)
    Q_PROPERTY(QString ToolTipText READ toolTipText WRITE setToolTipText)
    Q_PROPERTY(int Index READ index)

public:
    // `owner` is the QObject parent when it is not the host (controls loaded
    // at run time belong to their array's owner object).
    GraphicControl(PictureBox* host, const QString& name, int index = -1, QObject* owner = nullptr);
    ~GraphicControl() override;

    PictureBox* host() const { return host_; }
    int index() const { return index_; }

    double left() const { return left_; }
    double top() const { return top_; }
    double width() const { return width_; }
    double height() const { return height_; }
    // Geometry setters refuse a value out of range (and a negative size) with
    // InvalidPropertyValue. Values are held in single precision.
    void setLeft(double v);
    void setTop(double v);
    void setWidth(double v);
    void setHeight(double v);
    void place(double left, double top, double width, double height);

    bool isVisible() const { return visible_; }
    void setVisible(bool v);

    QColor backColor() const { return back_; }
    QColor foreColor() const { return fore_; }
    QColor borderColor() const { return border_; }
    QColor fillColor() const { return fill_; }
    void setBackColor(const QColor& c);
    void setForeColor(const QColor& c);
    void setBorderColor(const QColor& c);
    void setFillColor(const QColor& c);
    QString backColorText() const { return colorText(back_); }
    QString foreColorText() const { return colorText(fore_); }
    QString borderColorText() const { return colorText(border_); }
    QString fillColorText() const { return colorText(fill_); }
    void setBackColorText(const QString& t) { setBackColor(colorFromText(t)); }
    void setForeColorText(const QString& t) { setForeColor(colorFromText(t)); }
    void setBorderColorText(const QString& t) { setBorderColor(colorFromText(t)); }
    void setFillColorText(const QString& t) { setFillColor(colorFromText(t)); }
    QString toolTipText() const { return toolTip_; }
    void setToolTipText(const QString& t) { toolTip_ = t; }

    // ZOrder 0 brings the control to the front of its container's graphics,
    // 1 sends it to the back.
    void zOrder(int position = 0);

    // Labels and images take the mouse; lines and shapes let it pass.
    virtual bool takesMouse() const { return false; }
    virtual bool hit(QPointF twips) const;
    virtual void paint(QPainter& p) const = 0;
    // Copies the design-time look of another element of the same array.
    virtual void copyFrom(const GraphicControl& other);

    QRectF pixelRect() const;
    // The whole pixels the control covers, as a screen of one device pixel a
    // pixel shows it (a pixel is covered when its centre lies inside): drawn
    // there, it covers the same pixels on a denser screen, only finer.
    QRectF paintedRect() const;

signals:
    void mouseDown(int button, int shift, double x, double y);
    void mouseMove(int button, int shift, double x, double y);
    void mouseUp(int button, int shift, double x, double y);
    void clicked();

protected:
    friend class PictureBox;
    void changed();
    static double checked(double v, bool size);

    PictureBox* host_;
    int index_;
    float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    QColor back_, fore_, border_, fill_;
    QString toolTip_;
};

class Label : public GraphicControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(int Alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(int BorderStyle READ borderStyle WRITE setBorderStyle)
    Q_PROPERTY(int BackStyle READ backStyle WRITE setBackStyle)
    Q_PROPERTY(bool AutoSize READ autoSize WRITE setAutoSize)

public:
    enum { AlignLeft = 0, AlignRight = 1, AlignCenter = 2 };
    Label(PictureBox* host, const QString& name, int index = -1, QObject* owner = nullptr);

    QString caption() const { return caption_; }
    void setCaption(const QString& c);
    int alignment() const { return alignment_; }
    void setAlignment(int a);
    int borderStyle() const { return borderStyle_; }
    void setBorderStyle(int b);
    // 1 opaque (paints its BackColor), 0 transparent.
    int backStyle() const { return backStyle_; }
    void setBackStyle(int b);
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool a);
    QFont font() const { return font_; }
    void setFont(const QFont& f);

    bool takesMouse() const override { return true; }
    void paint(QPainter& p) const override;
    void copyFrom(const GraphicControl& other) override;

private:
    void fitToCaption();
    QString caption_;
    int alignment_ = AlignLeft;
    int borderStyle_ = 0;
    int backStyle_ = 1;
    bool autoSize_ = false;
    QFont font_;
};

// `r` (in the painter's pixels) as a band of whole device pixels: its
// leading edge rounded down to a device pixel, `thickDevicePixels` across,
// its ends rounded; back in the painter's pixels.
QRectF deviceSnapped(const QTransform& toDevice, const QRectF& r, int thickDevicePixels, Qt::Orientation along);
// Device pixels to a pixel, rounded (2 at scales 1.5 and 2), at least 1.
int devicePixelsPerPixel(const QPainter& p);

class Line : public GraphicControl {
    Q_OBJECT
    Q_PROPERTY(double X1 READ x1 WRITE setX1)
    Q_PROPERTY(double Y1 READ y1 WRITE setY1)
    Q_PROPERTY(double X2 READ x2 WRITE setX2)
    Q_PROPERTY(double Y2 READ y2 WRITE setY2)

public:
    Line(PictureBox* host, const QString& name, int index = -1, QObject* owner = nullptr);
    void setPoints(double x1, double y1, double x2, double y2);
    double x1() const { return x1_; }
    double y1() const { return y1_; }
    double x2() const { return x2_; }
    double y2() const { return y2_; }
    void setX1(double v) { setPoints(v, y1_, x2_, y2_); }
    void setY1(double v) { setPoints(x1_, v, x2_, y2_); }
    void setX2(double v) { setPoints(x1_, y1_, v, y2_); }
    void setY2(double v) { setPoints(x1_, y1_, x2_, v); }
    bool hit(QPointF) const override { return false; }
    void paint(QPainter& p) const override;

private:
    double x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
};

class Shape : public GraphicControl {
    Q_OBJECT
    Q_PROPERTY(int ShapeKind READ shapeKind WRITE setShapeKind)
    Q_PROPERTY(int FillStyle READ fillStyle WRITE setFillStyle)
    Q_PROPERTY(int BackStyle READ backStyle WRITE setBackStyle)

public:
    enum { Rectangle = 0, Circle = 3 };
    enum { FillSolid = 0, FillTransparent = 1 };
    Shape(PictureBox* host, const QString& name, int index = -1, QObject* owner = nullptr);
    int shapeKind() const { return kind_; }
    void setShapeKind(int k);
    int fillStyle() const { return fillStyle_; }
    void setFillStyle(int f);
    int backStyle() const { return backStyle_; }
    void setBackStyle(int b);
    void paint(QPainter& p) const override;

private:
    int kind_ = Rectangle;
    int fillStyle_ = FillTransparent;
    int backStyle_ = 0;
};

class Image : public GraphicControl {
    Q_OBJECT
    Q_PROPERTY(bool Stretch READ stretch WRITE setStretch)
    Q_PROPERTY(bool HasPicture READ hasPicture)

public:
    Image(PictureBox* host, const QString& name, int index = -1, QObject* owner = nullptr);
    bool stretch() const { return stretch_; }
    void setStretch(bool s);
    bool hasPicture() const { return !picture_.isNull(); }
    const QImage& picture() const { return picture_; }
    void setPicture(const QImage& img);
    bool takesMouse() const override { return true; }
    void paint(QPainter& p) const override;

private:
    bool stretch_ = false;
    QImage picture_;
};

// ---------------------------------------------------------------------------
// Containers
// ---------------------------------------------------------------------------

// A picture box: a windowed control that paints its background, an optional
// picture and its graphical controls, and routes the mouse to them.
class PictureBox : public Control {
    Q_OBJECT
    Q_PROPERTY(int BorderStyle READ borderStyle WRITE setBorderStyle)
    Q_PROPERTY(bool HasPicture READ hasPicture)
    Q_PROPERTY(double ScaleWidth READ scaleWidth)
    Q_PROPERTY(double ScaleHeight READ scaleHeight)

public:
    PictureBox(QWidget* parent, const QString& name, int index = -1);
    ~PictureBox() override;

    int borderStyle() const { return borderStyle_; }
    void setBorderStyle(int b);
    QPoint clientOrigin() const override;
    // Client area in twips.
    double scaleWidth() const;
    double scaleHeight() const;
    QSize clientPixelSize() const;

    bool hasPicture() const { return !picture_.isNull(); }
    const QImage& picture() const { return picture_; }
    // The picture is drawn unscaled from the client area's top-left corner.
    void setPicture(const QImage& img);

    // Graphical controls in stacking order, back to front.
    const std::vector<GraphicControl*>& graphics() const { return graphics_; }
    void addGraphic(GraphicControl* g);
    void removeGraphic(GraphicControl* g);
    // Runs `deleting`, which deletes graphical controls of this box, and takes
    // them out of the stacking order in one pass afterwards: time in
    // proportion to the controls however many go.
    void removeGraphicsAfter(const std::function<void()>& deleting);
    void bringToFront(GraphicControl* g);
    void sendToBack(GraphicControl* g);
    // The topmost visible label or image under a point in client twips.
    GraphicControl* graphicAt(QPointF twips) const;

    void deliverMouse(QEvent::Type type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons buttons,
                      Qt::KeyboardModifiers mods) override;

    // The Qt cursor shown while the pointer is over this box (a custom one may be set).
    void setPointer(const QCursor& c) { setCursor(c); }

protected:
    // The background, border and picture, under the graphics.
    virtual void paintBackdrop(QPainter& p);
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    bool event(QEvent* e) override;
    void route(QEvent::Type type, QPointF pixelPos, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers mods);

private:
    int borderStyle_ = 1;
    QImage picture_;
    std::vector<GraphicControl*> graphics_;
    std::unordered_set<GraphicControl*>* removing_ = nullptr;
    QPointer<GraphicControl> captured_;
};

}  // namespace forms
