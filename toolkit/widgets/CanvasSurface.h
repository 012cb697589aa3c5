// A canvas over a QImage: the backing image that owner-drawn controls paint on through
// the toolkit's canvas, so their drawing is the same on screen, off screen and in tests.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

#include "toolkit/graphics/Graphics.h"

class TCanvasSurface {
public:
    TCanvasSurface();
    ~TCanvasSurface();
    TCanvasSurface(const TCanvasSurface&) = delete;
    TCanvasSurface& operator=(const TCanvasSurface&) = delete;

    // Gives the image a new size (its contents are then undefined); the canvas keeps
    // its pen, brush and font.
    void Resize(int Width, int Height);
    TCanvas* Canvas() { return FCanvas.get(); }
    const QImage& Image() const { return FImage; }

private:
    QImage FImage;
    HBITMAP FBitmap = 0;
    HDC FDC = 0;
    std::unique_ptr<TCanvas> FCanvas;
};

// Paints the part Area of a widget through a surface: the surface takes Area's size, Paint
// draws the part on it (widget coordinates less Area's top-left corner), and the result
// goes onto Target.
using TSurfacePaint = std::function<void(const QRect& Area)>;
void PaintThroughSurface(QWidget* Target, const QRect& Area, TCanvasSurface& Surface,
                         const TSurfacePaint& Paint);

// A widget whose pixels come from a surface, painted for each part that shows again.
class TSurfaceWidget : public QWidget {
public:
    TSurfaceWidget(TCanvasSurface* Surface, TSurfacePaint Paint);

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    TCanvasSurface* FSurface;
    TSurfacePaint FPaint;
};
