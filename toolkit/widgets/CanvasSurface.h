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

// A widget whose pixels are a surface's image: Paint draws on the surface (already sized
// to the widget) before each showing.
class TSurfaceWidget : public QWidget {
public:
    TSurfaceWidget(TCanvasSurface* Surface, std::function<void()> Paint);

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    TCanvasSurface* FSurface;
    std::function<void()> FPaint;
};

// Brings Surface to Size, runs Paint on it and shows the result on Target.
void PaintThroughSurface(QWidget* Target, QSize Size, TCanvasSurface& Surface,
                         const std::function<void()>& Paint);
