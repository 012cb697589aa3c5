// TClipboard over the system clipboard: pictures travel as images, so a bitmap copied here
// pastes into other programs, and a picture another program copied (PNG, BMP...) pastes
// here as CF_BITMAP or CF_DIB.
#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeData>
#include <algorithm>
#include <cstring>
#include <functional>

#include "toolkit/graphics/BitmapDIB.h"
#include "toolkit/graphics/Clipboard.h"
#include "toolkit/graphics/GdiObjects.h"
#include "toolkit/graphics/GlobalMemory.h"

namespace {

constexpr const char* SCannotOpenClipboard = "Cannot open clipboard";
constexpr const char* SInvalidClipboardData = "Clipboard data is not a valid picture";

bool TooLarge(const QSize& Size) {
    return !PictureSizeFits(Size.width(), Size.height());
}

bool IsImageMime(const QString& Format) {
    return Format.startsWith(QLatin1String("image/")) &&
           QImageReader::supportedMimeTypes().contains(Format.toLatin1());
}

} // namespace

// What a session hands out, released when the session ends.
struct TClipboard::Impl {
    struct TOwned {
        THandle Handle = 0;
        bool Global = false;            // a global block; otherwise a bitmap or palette
        std::unique_ptr<QImage> Pixels; // behind an image bitmap handed out
    };

    int OpenCount = 0;
    bool Emptied = false;
    bool Changing = false; // our own change of the system clipboard
    HPALETTE Palette = 0;  // CF_PALETTE, kept while the clipboard holds our picture
    std::vector<TOwned> Owned;
    QClipboard* Watched = nullptr;
    QMetaObject::Connection Watch;

    ~Impl() { QObject::disconnect(Watch); }

    QClipboard* System() {
        if (qGuiApp == nullptr) throw EClipboardException(SCannotOpenClipboard);
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (clipboard != Watched) {
            // Another program's copy replaces the picture our palette belongs to.
            QObject::disconnect(Watch);
            Watch = QObject::connect(clipboard, &QClipboard::dataChanged, [this] {
                if (!Changing) DropPalette();
            });
            Watched = clipboard;
        }
        return clipboard;
    }

    void SetSystem(const std::function<void(QClipboard*)>& Change) {
        QClipboard* clipboard = System();
        Changing = true;
        Change(clipboard);
        Changing = false;
    }

    void DropPalette() {
        if (Palette != 0) DeleteObject(Palette);
        Palette = 0;
    }

    bool HasImage() {
        const QMimeData* data = System()->mimeData();
        if (data == nullptr) return false;
        if (data->hasImage()) return true;
        const QStringList formats = data->formats();
        return std::any_of(formats.begin(), formats.end(), IsImageMime);
    }

    // The clipboard's picture: an image put there in this process, or the encoded image
    // of another program, decoded after its size is checked.
    QImage ReadImage() {
        const QMimeData* data = System()->mimeData();
        if (data == nullptr) return {};
        if (data->hasImage()) {
            const QImage image = qvariant_cast<QImage>(data->imageData());
            if (!image.isNull()) return image;
        }
        for (const QString& format : data->formats()) {
            if (!IsImageMime(format)) continue;
            QByteArray bytes = data->data(format);
            QBuffer buffer(&bytes);
            QImageReader reader(&buffer);
            if (TooLarge(reader.size())) throw EClipboardException(SInvalidClipboardData);
            const QImage image = reader.read();
            if (!image.isNull()) return image;
        }
        return {};
    }

    // Bitmaps still selected into a device context wait for a later session.
    void Release() {
        std::vector<TOwned> kept;
        for (TOwned& owned : Owned) {
            if (owned.Global)
                GlobalFree(owned.Handle);
            else if (!DeleteObject(owned.Handle) && owned.Pixels)
                kept.push_back(std::move(owned));
        }
        Owned = std::move(kept);
    }
};

TClipboard::TClipboard() : FImpl(std::make_unique<Impl>()) {}
TClipboard::~TClipboard() = default;

TClipboard& Clipboard() {
    static TClipboard clipboard;
    return clipboard;
}

void TClipboard::Open() {
    if (FImpl->OpenCount++ == 0) FImpl->Emptied = false;
}

void TClipboard::Close() {
    if (FImpl->OpenCount == 0) return;
    if (--FImpl->OpenCount == 0) FImpl->Release();
}

void TClipboard::Clear() {
    Open();
    try {
        FImpl->SetSystem([](QClipboard* clipboard) { clipboard->clear(); });
    } catch (...) {
        Close();
        throw;
    }
    FImpl->DropPalette();
    FImpl->Emptied = true;
    Close();
}

void TClipboard::Adding() {
    if (FImpl->OpenCount != 0 && !FImpl->Emptied) {
        Clear();
        FImpl->Emptied = true;
    }
}

bool TClipboard::HasFormat(std::uint16_t Format) {
    switch (Format) {
    case CF_BITMAP:
    case CF_DIB:
        return FImpl->HasImage();
    case CF_PALETTE:
        return FImpl->Palette != 0;
    default:
        return false;
    }
}

// CF_DIB: a 24-bit bottom-up DIB with a 40-byte header; CF_BITMAP: an image bitmap.
THandle TClipboard::GetAsHandle(std::uint16_t Format) {
    if (Format == CF_PALETTE) return FImpl->Palette;
    if (Format != CF_DIB && Format != CF_BITMAP) return 0;
    QImage image = FImpl->ReadImage();
    if (image.isNull()) return 0;
    if (TooLarge(image.size())) throw EClipboardException(SInvalidClipboardData);
    Impl::TOwned owned;
    if (Format == CF_BITMAP) {
        owned.Pixels = std::make_unique<QImage>(image.convertToFormat(QImage::Format_RGB32));
        owned.Handle = CreateImageBitmap(owned.Pixels.get(), 32);
    } else {
        const std::vector<std::uint8_t> dib = EncodeDIB(image, 24, {});
        owned.Global = true;
        owned.Handle = GlobalAlloc(GHND, dib.size());
        void* bytes = owned.Handle != 0 ? GlobalLock(owned.Handle) : nullptr;
        if (bytes == nullptr) {
            if (owned.Handle != 0) GlobalFree(owned.Handle);
            throw EOutOfMemory("Out of memory");
        }
        std::memcpy(bytes, dib.data(), dib.size());
        GlobalUnlock(owned.Handle);
    }
    FImpl->Owned.push_back(std::move(owned));
    return FImpl->Owned.back().Handle;
}

// The clipboard owns Data of a format it knows from here on, also when it is refused.
void TClipboard::SetAsHandle(std::uint16_t Format, THandle Data) {
    if (Format != CF_DIB && Format != CF_BITMAP && Format != CF_PALETTE)
        throw EClipboardException("Unsupported clipboard format");
    Open();
    try {
        Adding();
        if (Data != 0 && Format == CF_PALETTE) {
            FImpl->DropPalette();
            FImpl->Palette = Data;
        } else if (Data != 0) {
            Impl::TOwned owned;
            owned.Handle = Data;
            owned.Global = Format == CF_DIB;
            FImpl->Owned.push_back(std::move(owned));
            TDecodedDIB dib;
            if (Format == CF_DIB) {
                const auto* block = static_cast<const std::uint8_t*>(GlobalLock(Data));
                const bool decoded = block != nullptr && DecodeDIB(block, GlobalSize(Data), 0, dib);
                if (block != nullptr) GlobalUnlock(Data);
                if (!decoded) throw EClipboardException(SInvalidClipboardData);
            } else {
                dib.Image = BitmapHandlePixels(Data);
                if (dib.Image.isNull()) throw EClipboardException(SInvalidClipboardData);
            }
            FImpl->SetSystem([&](QClipboard* clipboard) { clipboard->setImage(dib.Image); });
        }
    } catch (...) {
        Close();
        throw;
    }
    Close();
}

void TClipboard::Assign(TPersistent* Source) {
    auto* picture = dynamic_cast<TPicture*>(Source);
    TGraphic* graphic = picture != nullptr ? picture->GetGraphic() : dynamic_cast<TGraphic*>(Source);
    if (graphic == nullptr) {
        if (picture != nullptr) return Clear();
        return TPersistent::Assign(Source);
    }
    Open();
    try {
        std::uint16_t format = 0;
        THandle data = 0;
        HPALETTE palette = 0;
        graphic->SaveToClipboardFormat(format, data, palette);
        SetAsHandle(format, data);
        if (palette != 0) SetAsHandle(CF_PALETTE, palette);
    } catch (...) {
        Close();
        throw;
    }
    Close();
}

void TClipboard::AssignTo(TPersistent* Dest) {
    auto* bitmap = dynamic_cast<TBitmap*>(Dest);
    auto* picture = dynamic_cast<TPicture*>(Dest);
    if (bitmap == nullptr && picture == nullptr) return TPersistent::AssignTo(Dest);
    Open();
    try {
        if (bitmap != nullptr) {
            bitmap->LoadFromClipboardFormat(CF_BITMAP, GetAsHandle(CF_BITMAP), GetAsHandle(CF_PALETTE));
        } else {
            const std::uint16_t formats[] = {CF_BITMAP, CF_DIB};
            const auto format = std::find_if(std::begin(formats), std::end(formats), [&](std::uint16_t f) {
                return TPicture::SupportsClipboardFormat(f) && HasFormat(f);
            });
            if (format == std::end(formats)) throw EInvalidGraphic("Unsupported clipboard format");
            picture->LoadFromClipboardFormat(*format, GetAsHandle(*format), GetAsHandle(CF_PALETTE));
        }
    } catch (...) {
        Close();
        throw;
    }
    Close();
}
