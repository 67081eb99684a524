#include "forms/controls.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <cmath>

namespace forms {

// ---------------------------------------------------------------------------
// Control
// ---------------------------------------------------------------------------

Control::Control(QWidget* parent, const QString& name, int index) : QWidget(parent), index_(index)
{
    setObjectName(name);
    setMouseTracking(true);
    watch(this);
}

void Control::watch(QWidget* w)
{
    w->setMouseTracking(true);
    if (w != this)
        w->installEventFilter(this);
}

void Control::setInner(QWidget* w)
{
    inner_ = w;
    watch(w);
    w->setGeometry(rect());
}

void Control::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    if (inner_)
        inner_->setGeometry(rect());
}

void Control::applyGeometry()
{
    QPoint origin;
    if (auto* c = qobject_cast<Control*>(parentWidget()))
        origin = c->clientOrigin();
    const int x = int(std::lround(toPixels(left_))) + origin.x();
    const int y = int(std::lround(toPixels(top_))) + origin.y();
    const int w = std::max(0, int(std::lround(toPixels(width_))));
    const int h = std::max(0, int(std::lround(toPixels(height_))));
    setGeometry(x, y, w, h);
}

void Control::setLeft(double v) { left_ = v; applyGeometry(); }
void Control::setTop(double v) { top_ = v; applyGeometry(); }
void Control::setWidthTwips(double v)
{
    if (!(v >= 0)) throw InvalidPropertyValue();
    width_ = v;
    applyGeometry();
}
void Control::setHeightTwips(double v)
{
    if (!(v >= 0)) throw InvalidPropertyValue();
    height_ = v;
    applyGeometry();
}

void Control::place(double left, double top, double width, double height)
{
    if (!(width >= 0) || !(height >= 0)) throw InvalidPropertyValue();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    applyGeometry();
}

void Control::setShownFlag(bool v)
{
    shown_ = v;
    setVisible(v);
}

void Control::setEnabledFlag(bool v)
{
    enabled_ = v;
    setEnabled(v);
}

void Control::setBackColor(const QColor& c)
{
    back_ = c;
    applyColors();
    update();
}

void Control::setForeColor(const QColor& c)
{
    fore_ = c;
    applyColors();
    update();
}

QButtonGroup* Control::optionGroup()
{
    if (!optionGroup_) {
        optionGroup_ = new QButtonGroup(this);
        optionGroup_->setExclusive(true);
    }
    return optionGroup_;
}

void Control::emitMouse(QEvent::Type type, QPointF pixelPos, Qt::MouseButton button, Qt::MouseButtons buttons,
                        Qt::KeyboardModifiers mods)
{
    const QPointF client = pixelPos - QPointF(clientOrigin());
    const double x = toTwips(client.x());
    const double y = toTwips(client.y());
    const int shift = vbShift(mods);
    switch (type) {
    case QEvent::MouseButtonPress:
        emit mouseDown(vbButton(button), shift, x, y);
        break;
    case QEvent::MouseMove:
        emit mouseMove(vbButtons(buttons), shift, x, y);
        break;
    case QEvent::MouseButtonRelease:
        emit mouseUp(vbButton(button), shift, x, y);
        break;
    default:
        break;
    }
}

void Control::deliverMouse(QEvent::Type type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons buttons,
                           Qt::KeyboardModifiers mods)
{
    emitMouse(type, pos, button, buttons, mods);
}

bool Control::eventFilter(QObject* watched, QEvent* event)
{
    auto* w = qobject_cast<QWidget*>(watched);
    if (w && w != this) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease: {
            auto* me = static_cast<QMouseEvent*>(event);
            emitMouse(event->type(), w->mapTo(this, me->position()), me->button(), me->buttons(),
                      me->modifiers());
            break;
        }
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// GraphicControl
// ---------------------------------------------------------------------------

GraphicControl::GraphicControl(PictureBox* host, const QString& name, int index, QObject* owner)
    : QObject(owner ? owner : host), host_(host), index_(index)
{
    setObjectName(name);
    host_->addGraphic(this);
}

GraphicControl::~GraphicControl()
{
    if (host_)
        host_->removeGraphic(this);
}

double GraphicControl::checked(double v, bool size)
{
    if (!std::isfinite(v) || std::fabs(v) > kMaxTwips || (size && v < 0))
        throw InvalidPropertyValue();
    return v;
}

void GraphicControl::changed()
{
    if (host_)
        host_->update();
}

void GraphicControl::setLeft(double v)
{
    left_ = float(checked(v, false));
    changed();
}
void GraphicControl::setTop(double v)
{
    top_ = float(checked(v, false));
    changed();
}
void GraphicControl::setWidth(double v)
{
    width_ = float(checked(v, true));
    changed();
}
void GraphicControl::setHeight(double v)
{
    height_ = float(checked(v, true));
    changed();
}

void GraphicControl::place(double left, double top, double width, double height)
{
    checked(left, false);
    checked(top, false);
    checked(width, true);
    checked(height, true);
    left_ = float(left);
    top_ = float(top);
    width_ = float(width);
    height_ = float(height);
    changed();
}

void GraphicControl::setVisible(bool v)
{
    if (visible_ == v)
        return;
    visible_ = v;
    changed();
}

void GraphicControl::setBackColor(const QColor& c) { back_ = c; changed(); }
void GraphicControl::setForeColor(const QColor& c) { fore_ = c; changed(); }
void GraphicControl::setBorderColor(const QColor& c) { border_ = c; changed(); }
void GraphicControl::setFillColor(const QColor& c) { fill_ = c; changed(); }

void GraphicControl::zOrder(int position)
{
    if (!host_)
        return;
    if (position == 0)
        host_->bringToFront(this);
    else
        host_->sendToBack(this);
}

bool GraphicControl::hit(QPointF t) const
{
    return t.x() >= left_ && t.x() < double(left_) + width_ && t.y() >= top_ && t.y() < double(top_) + height_;
}

void GraphicControl::copyFrom(const GraphicControl& o)
{
    left_ = o.left_;
    top_ = o.top_;
    width_ = o.width_;
    height_ = o.height_;
    back_ = o.back_;
    fore_ = o.fore_;
    border_ = o.border_;
    fill_ = o.fill_;
    toolTip_ = o.toolTip_;
    changed();
}

QRectF GraphicControl::pixelRect() const
{
    return QRectF(toPixels(left_), toPixels(top_), toPixels(width_), toPixels(height_));
}

namespace {

// A border one pixel wide with square corners (the default bevel leaves the
// outer corner open once a pixel is more than one device pixel).
QPen borderPen(const QColor& c) { return QPen(c, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin); }

// The whole pixel whose centre a pixel coordinate reaches; 10.4 and 10.5 give
// 10, 10.6 gives 11.
double wholePixel(double v) { return std::ceil(v - 0.5); }

}  // namespace

QRectF deviceSnapped(const QTransform& toDevice, const QRectF& r, int thickDevicePixels, Qt::Orientation along)
{
    const QRectF d = toDevice.mapRect(r);
    QRectF snapped;
    if (along == Qt::Horizontal) {
        const double top = std::floor(d.top() + 1e-6);
        snapped = QRectF(std::round(d.left()), top, std::max(1.0, std::round(d.right()) - std::round(d.left())),
                         thickDevicePixels);
    } else {
        const double left = std::floor(d.left() + 1e-6);
        snapped = QRectF(left, std::round(d.top()), thickDevicePixels,
                         std::max(1.0, std::round(d.bottom()) - std::round(d.top())));
    }
    return toDevice.inverted().mapRect(snapped);
}

int devicePixelsPerPixel(const QPainter& p)
{
    // From the painter's transform to the device, which holds the scale
    // however the painting reaches the device (a widget rendered into an
    // image reports its own ratio, not the image's).
    const double ratio = std::sqrt(std::fabs(p.deviceTransform().determinant()));
    return std::max(1, int(std::lround(ratio)));
}

QRectF GraphicControl::paintedRect() const
{
    const QRectF r = pixelRect();
    const double left = wholePixel(r.left()), top = wholePixel(r.top());
    return QRectF(left, top, wholePixel(r.right()) - left, wholePixel(r.bottom()) - top);
}

// ---------------------------------------------------------------------------
// Label
// ---------------------------------------------------------------------------

Label::Label(PictureBox* host, const QString& name, int index, QObject* owner)
    : GraphicControl(host, name, index, owner)
{
    font_ = standInFont(QStringLiteral("MS Sans Serif"), 8.25);
    back_ = QColor(0xC0, 0xC0, 0xC0);
    fore_ = QColor(0, 0, 0);
}

void Label::setCaption(const QString& c)
{
    if (caption_ == c)
        return;
    caption_ = c;
    if (autoSize_)
        fitToCaption();
    changed();
}

void Label::setAlignment(int a) { alignment_ = a; changed(); }
void Label::setBorderStyle(int b)
{
    borderStyle_ = b;
    if (autoSize_)
        fitToCaption();
    changed();
}
void Label::setBackStyle(int b) { backStyle_ = b; changed(); }
void Label::setAutoSize(bool a)
{
    autoSize_ = a;
    if (a)
        fitToCaption();
    changed();
}
void Label::setFont(const QFont& f)
{
    font_ = f;
    if (autoSize_)
        fitToCaption();
    changed();
}

void Label::fitToCaption()
{
    const QFontMetrics fm(font_);
    const int border = borderStyle_ ? 2 : 0;
    width_ = float(toTwips(fm.horizontalAdvance(caption_) + border + (caption_.isEmpty() ? 0 : 2)));
    height_ = float(toTwips(fm.height() + border));
}

void Label::paint(QPainter& p) const
{
    const QRectF r = paintedRect();
    if (backStyle_ == 1 && back_.isValid())
        p.fillRect(r, back_);
    QRectF text = r;
    if (borderStyle_ == 1) {
        p.setPen(borderPen(Qt::black));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
        text = r.adjusted(1, 1, -1, -1);
    }
    if (caption_.isEmpty())
        return;
    p.setFont(font_);
    p.setPen(fore_.isValid() ? fore_ : QColor(Qt::black));
    int flags = Qt::TextWordWrap | Qt::AlignTop;
    flags |= alignment_ == AlignRight ? Qt::AlignRight : alignment_ == AlignCenter ? Qt::AlignHCenter : Qt::AlignLeft;
    p.save();
    p.setClipRect(r, Qt::IntersectClip);
    // A caption of one word that shows whole on one screen but not on
    // another (text is laid out without hinting on high-density screens,
    // and comes out a little wider) is drawn a little smaller, never cut,
    // by its label or by the box it stands in.
    if (!caption_.contains(QLatin1Char(' ')) && !caption_.contains(QLatin1Char('\n'))) {
        const double needed = QFontMetricsF(font_, p.device()).horizontalAdvance(caption_);
        const QRectF shown = p.hasClipping() ? p.clipBoundingRect().intersected(text) : text;
        const double centre = text.center().x();
        const double room = alignment_ == AlignCenter ? 2 * std::min(centre - shown.left(), shown.right() - centre)
                            : alignment_ == AlignRight ? text.right() - shown.left()
                                                       : shown.right() - text.left();
        if (needed > room && room > needed * 0.8) {
            QFont smaller = font_;
            smaller.setPointSizeF(font_.pointSizeF() * room / needed * 0.98);
            p.setFont(smaller);
        }
    }
    p.drawText(text, flags, caption_);
    p.restore();
}

void Label::copyFrom(const GraphicControl& other)
{
    GraphicControl::copyFrom(other);
    if (auto* o = qobject_cast<const Label*>(&other)) {
        caption_ = o->caption_;
        alignment_ = o->alignment_;
        borderStyle_ = o->borderStyle_;
        backStyle_ = o->backStyle_;
        autoSize_ = o->autoSize_;
        font_ = o->font_;
    }
}

// ---------------------------------------------------------------------------
// Line, Shape, Image
// ---------------------------------------------------------------------------

Line::Line(PictureBox* host, const QString& name, int index, QObject* owner)
    : GraphicControl(host, name, index, owner)
{
    border_ = QColor(0, 0, 0);
}

void Line::setPoints(double x1, double y1, double x2, double y2)
{
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
    left_ = float(std::min(x1, x2));
    top_ = float(std::min(y1, y2));
    width_ = float(std::fabs(x2 - x1));
    height_ = float(std::fabs(y2 - y1));
    changed();
}

void Line::paint(QPainter& p) const
{
    const QColor colour = border_.isValid() ? border_ : QColor(Qt::black);
    const double px1 = wholePixel(toPixels(x1_)), py1 = wholePixel(toPixels(y1_));
    const double px2 = wholePixel(toPixels(x2_)), py2 = wholePixel(toPixels(y2_));
    if (py1 == py2 || px1 == px2) {
        // Across or down: the whole pixels it passes through, as a band of
        // whole device pixels equally thick wherever it lies (at a scale of
        // 1.5 a line is two device pixels everywhere, never one here and two there).
        const QRectF pixels(std::min(px1, px2), std::min(py1, py2), std::fabs(px2 - px1) + 1, std::fabs(py2 - py1) + 1);
        const Qt::Orientation along = py1 == py2 ? Qt::Horizontal : Qt::Vertical;
        p.fillRect(deviceSnapped(p.deviceTransform(), pixels, devicePixelsPerPixel(p), along), colour);
        return;
    }
    p.setPen(QPen(colour, 1));
    // Through the centres of whole pixels, as on a screen of one device pixel a pixel.
    p.drawLine(QPointF(px1 + 0.5, py1 + 0.5), QPointF(px2 + 0.5, py2 + 0.5));
}

Shape::Shape(PictureBox* host, const QString& name, int index, QObject* owner)
    : GraphicControl(host, name, index, owner)
{
    border_ = QColor(0, 0, 0);
}

void Shape::setShapeKind(int k) { kind_ = k; changed(); }
void Shape::setFillStyle(int f) { fillStyle_ = f; changed(); }
void Shape::setBackStyle(int b) { backStyle_ = b; changed(); }

void Shape::paint(QPainter& p) const
{
    QRectF r = paintedRect().adjusted(0.5, 0.5, -0.5, -0.5);
    if (kind_ == Circle) {
        const double d = std::min(r.width(), r.height());
        r = QRectF(r.center().x() - d / 2, r.center().y() - d / 2, d, d);
    }
    p.setPen(border_.isValid() ? borderPen(border_) : QPen(Qt::NoPen));
    if (fillStyle_ == FillSolid && fill_.isValid())
        p.setBrush(fill_);
    else if (backStyle_ == 1 && back_.isValid())
        p.setBrush(back_);
    else
        p.setBrush(Qt::NoBrush);
    if (kind_ == Circle)
        p.drawEllipse(r);
    else
        p.drawRect(r);
}

Image::Image(PictureBox* host, const QString& name, int index, QObject* owner)
    : GraphicControl(host, name, index, owner) {}

void Image::setStretch(bool s) { stretch_ = s; changed(); }
void Image::setPicture(const QImage& img)
{
    picture_ = img;
    changed();
}

void Image::paint(QPainter& p) const
{
    if (picture_.isNull())
        return;
    if (stretch_)
        p.drawImage(paintedRect(), picture_);
    else
        p.drawImage(paintedRect().topLeft(), picture_);
}

// ---------------------------------------------------------------------------
// PictureBox
// ---------------------------------------------------------------------------

PictureBox::PictureBox(QWidget* parent, const QString& name, int index) : Control(parent, name, index)
{
    back_ = QColor(0xC0, 0xC0, 0xC0);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

PictureBox::~PictureBox()
{
    // The graphics go first, while this is still a picture box.
    std::vector<GraphicControl*> list;
    list.swap(graphics_);
    for (GraphicControl* g : list) {
        g->host_ = nullptr;
        delete g;
    }
}

void PictureBox::setBorderStyle(int b)
{
    borderStyle_ = b;
    update();
}

QPoint PictureBox::clientOrigin() const { return borderStyle_ ? QPoint(2, 2) : QPoint(0, 0); }

QSize PictureBox::clientPixelSize() const
{
    const QPoint o = clientOrigin();
    return QSize(std::max(0, width() - 2 * o.x()), std::max(0, height() - 2 * o.y()));
}

double PictureBox::scaleWidth() const { return toTwips(clientPixelSize().width()); }
double PictureBox::scaleHeight() const { return toTwips(clientPixelSize().height()); }

void PictureBox::setPicture(const QImage& img)
{
    picture_ = img;
    update();
}

void PictureBox::addGraphic(GraphicControl* g)
{
    graphics_.push_back(g);
    update();
}

void PictureBox::removeGraphicsAfter(const std::function<void()>& deleting)
{
    std::unordered_set<GraphicControl*> gone;
    removing_ = &gone;
    deleting();
    removing_ = nullptr;
    graphics_.erase(std::remove_if(graphics_.begin(), graphics_.end(), [&](GraphicControl* g) { return gone.count(g); }),
                    graphics_.end());
    update();
}

void PictureBox::removeGraphic(GraphicControl* g)
{
    if (removing_) {
        removing_->insert(g);
        return;
    }
    // From the top of the stacking order down: controls are mostly removed
    // in the reverse of the order they were made or brought to the front.
    const auto it = std::find(graphics_.rbegin(), graphics_.rend(), g);
    if (it != graphics_.rend())
        graphics_.erase(std::next(it).base());
    update();
}

void PictureBox::bringToFront(GraphicControl* g)
{
    auto it = std::find(graphics_.begin(), graphics_.end(), g);
    if (it == graphics_.end())
        return;
    std::rotate(it, it + 1, graphics_.end());
    update();
}

void PictureBox::sendToBack(GraphicControl* g)
{
    auto it = std::find(graphics_.begin(), graphics_.end(), g);
    if (it == graphics_.end())
        return;
    std::rotate(graphics_.begin(), it, it + 1);
    update();
}

GraphicControl* PictureBox::graphicAt(QPointF twips) const
{
    for (auto it = graphics_.rbegin(); it != graphics_.rend(); ++it) {
        GraphicControl* g = *it;
        if (g->isVisible() && g->takesMouse() && g->hit(twips))
            return g;
    }
    return nullptr;
}

void PictureBox::paintBackdrop(QPainter& p)
{
    p.fillRect(rect(), back_.isValid() ? back_ : palette().window().color());
    if (borderStyle_) {
        // A sunken 3D border, two pixels wide, of whole pixels (filled, not
        // stroked: a stroked line is one device pixel on a high-density
        // screen and would leave the rest of its pixel to the backdrop).
        const int w = width(), h = height();
        const auto fill = [&p](int x, int y, int fw, int fh, QColor c) { p.fillRect(QRect(x, y, fw, fh), c); };
        fill(0, 0, w, 1, QColor(0x80, 0x80, 0x80));
        fill(0, 0, 1, h, QColor(0x80, 0x80, 0x80));
        fill(1, 1, w - 2, 1, QColor(0x40, 0x40, 0x40));
        fill(1, 1, 1, h - 2, QColor(0x40, 0x40, 0x40));
        fill(0, h - 1, w, 1, QColor(0xFF, 0xFF, 0xFF));
        fill(w - 1, 0, 1, h, QColor(0xFF, 0xFF, 0xFF));
        fill(1, h - 2, w - 2, 1, QColor(0xD4, 0xD0, 0xC8));
        fill(w - 2, 1, 1, h - 2, QColor(0xD4, 0xD0, 0xC8));
    }
    p.save();
    p.translate(clientOrigin());
    if (!picture_.isNull())
        p.drawImage(QPoint(0, 0), picture_);
    p.restore();
}

void PictureBox::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    p.setClipRegion(e->region());
    paintBackdrop(p);
    p.translate(clientOrigin());
    p.setClipRect(QRect(QPoint(0, 0), clientPixelSize()), Qt::IntersectClip);
    const QRectF visible(QPointF(0, 0), QSizeF(clientPixelSize()));
    for (GraphicControl* g : graphics_) {
        if (!g->isVisible())
            continue;
        const QRectF r = g->pixelRect();
        if (!r.adjusted(-1, -1, 1, 1).intersects(visible) && !qobject_cast<Line*>(g))
            continue;
        g->paint(p);
    }
}

void PictureBox::route(QEvent::Type type, QPointF pixelPos, Qt::MouseButton button, Qt::MouseButtons buttons,
                       Qt::KeyboardModifiers mods)
{
    const QPointF client = pixelPos - QPointF(clientOrigin());
    const QPointF twips(toTwips(client.x()), toTwips(client.y()));
    GraphicControl* target = nullptr;
    if (captured_ && (type == QEvent::MouseButtonRelease || (type == QEvent::MouseMove && buttons != Qt::NoButton)))
        target = captured_;
    else
        target = graphicAt(twips);
    if (type == QEvent::MouseButtonPress)
        captured_ = target;
    if (type == QEvent::MouseButtonRelease && buttons == Qt::NoButton)
        captured_ = nullptr;
    if (!target) {
        emitMouse(type, pixelPos, button, buttons, mods);
        return;
    }
    QPointer<GraphicControl> guard(target);
    const double x = twips.x() - target->left();
    const double y = twips.y() - target->top();
    const int shift = vbShift(mods);
    switch (type) {
    case QEvent::MouseButtonPress:
        emit target->mouseDown(vbButton(button), shift, x, y);
        break;
    case QEvent::MouseMove:
        emit target->mouseMove(vbButtons(buttons), shift, x, y);
        break;
    case QEvent::MouseButtonRelease:
        emit target->mouseUp(vbButton(button), shift, x, y);
        if (guard && guard->hit(twips) && button == Qt::LeftButton)
            emit guard->clicked();
        break;
    default:
        break;
    }
}

void PictureBox::deliverMouse(QEvent::Type type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons buttons,
                              Qt::KeyboardModifiers mods)
{
    route(type, pos, button, buttons, mods);
}

void PictureBox::mousePressEvent(QMouseEvent* e)
{
    route(QEvent::MouseButtonPress, e->position(), e->button(), e->buttons(), e->modifiers());
}

void PictureBox::mouseMoveEvent(QMouseEvent* e)
{
    route(QEvent::MouseMove, e->position(), e->button(), e->buttons(), e->modifiers());
}

void PictureBox::mouseReleaseEvent(QMouseEvent* e)
{
    route(QEvent::MouseButtonRelease, e->position(), e->button(), e->buttons(), e->modifiers());
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && !graphicAt(
            QPointF(toTwips(e->position().x() - clientOrigin().x()), toTwips(e->position().y() - clientOrigin().y()))))
        emit clicked();
}

bool PictureBox::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        auto* he = static_cast<QHelpEvent*>(e);
        const QPointF client = QPointF(he->pos()) - QPointF(clientOrigin());
        if (GraphicControl* g = graphicAt(QPointF(toTwips(client.x()), toTwips(client.y())))) {
            if (!g->toolTipText().isEmpty()) {
                QToolTip::showText(he->globalPos(), plainToolTip(g->toolTipText()), this);
                return true;
            }
            QToolTip::hideText();
            e->ignore();
            return true;
        }
    }
    return Control::event(e);
}

}  // namespace forms
