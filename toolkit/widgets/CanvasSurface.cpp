#include "toolkit/widgets/CanvasSurface.h"

#include <QPaintEvent>
#include <QPainter>

#include "toolkit/graphics/GdiObjects.h"
#include "toolkit/widgets/Application.h"

TCanvasSurface::TCanvasSurface()
    : FImage(1, 1, QImage::Format_RGB32), FBitmap(CreateImageBitmap(&FImage, 32)), FDC(CreateCompatibleDC(0)),
      FCanvas(std::make_unique<TCanvas>()) {
    SelectObject(FDC, FBitmap);
    FCanvas->SetHandle(FDC);
}

TCanvasSurface::~TCanvasSurface() {
    FCanvas->SetHandle(0);
    FCanvas.reset();
    DeleteDC(FDC);
    DeleteObject(FBitmap);
}

void TCanvasSurface::Resize(int Width, int Height) {
    if (Width < 0) Width = 0;
    if (Height < 0) Height = 0;
    if (FImage.width() == Width && FImage.height() == Height) return;
    // The bitmap handle refers to FImage itself, so it sees the new pixels.
    FImage = QImage(Width, Height, QImage::Format_RGB32);
}

void PaintThroughSurface(QWidget* Target, const QRect& Area, TCanvasSurface& Surface,
                         const TSurfacePaint& Paint) {
    Surface.Resize(Area.width(), Area.height());
    RunHandler([&] { Paint(Area); });
    QPainter(Target).drawImage(Area.topLeft(), Surface.Image());
}

TSurfaceWidget::TSurfaceWidget(TCanvasSurface* Surface, TSurfacePaint Paint)
    : FSurface(Surface), FPaint(std::move(Paint)) {}

// Only the part to be shown is drawn: a large picture in a scroll box shows a small part.
void TSurfaceWidget::paintEvent(QPaintEvent* Event) {
    PaintThroughSurface(this, Event->rect(), *FSurface, FPaint);
}
