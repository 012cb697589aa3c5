// TPicture: one graphic of any registered kind, and the registries of graphic classes
// by file extension and by clipboard format.
#include <algorithm>
#include <cctype>
#include <filesystem>

#include "toolkit/graphics/Graphics.h"

namespace {

struct TFileFormat {
    std::string Extension; // lower case, without the dot
    std::string Description;
    std::string ClassName;
    TGraphicClass Factory;
};

struct TClipboardFormat {
    std::uint16_t Format;
    std::string ClassName;
    TGraphicClass Factory;
};

std::string Lower(std::string Text) {
    std::transform(Text.begin(), Text.end(), Text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return Text;
}

// Function-local, so graphic classes of other libraries can register from their static
// initialisers in any order. Later registrations take precedence.
struct TRegistry {
    std::vector<TFileFormat> Files;
    std::vector<TClipboardFormat> Clipboard;

    TRegistry() {
        const TGraphicClass bitmap = [] { return std::make_unique<TBitmap>(); };
        Files.push_back({"bmp", "Bitmaps", "TBitmap", bitmap});
        Clipboard.push_back({CF_BITMAP, "TBitmap", bitmap});
    }

    const TFileFormat* FindExtension(const std::string& Extension) const {
        const std::string ext = Lower(Extension);
        for (auto it = Files.rbegin(); it != Files.rend(); ++it)
            if (it->Extension == ext) return &*it;
        return nullptr;
    }
    const TClipboardFormat* FindFormat(std::uint16_t Format) const {
        for (auto it = Clipboard.rbegin(); it != Clipboard.rend(); ++it)
            if (it->Format == Format) return &*it;
        return nullptr;
    }
    TGraphicClass FindClass(const std::string& ClassName) const {
        for (auto it = Files.rbegin(); it != Files.rend(); ++it)
            if (it->ClassName == ClassName) return it->Factory;
        for (auto it = Clipboard.rbegin(); it != Clipboard.rend(); ++it)
            if (it->ClassName == ClassName) return it->Factory;
        return {};
    }
};

TRegistry& Registry() {
    static TRegistry registry;
    return registry;
}

std::string ExtensionOf(const std::string& FileName) {
    const std::string ext = std::filesystem::path(FileName).extension().string();
    return ext.empty() ? ext : ext.substr(1);
}

} // namespace

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::RegisterFileFormat(const std::string& Extension, const std::string& Description,
                                  const std::string& ClassName, TGraphicClass Factory) {
    Registry().Files.push_back({Lower(Extension), Description, ClassName, std::move(Factory)});
}

void TPicture::RegisterClipboardFormat(std::uint16_t AFormat, const std::string& ClassName,
                                       TGraphicClass Factory) {
    Registry().Clipboard.push_back({AFormat, ClassName, std::move(Factory)});
}

void TPicture::UnregisterGraphicClass(const std::string& ClassName) {
    auto& registry = Registry();
    std::erase_if(registry.Files, [&](const TFileFormat& f) { return f.ClassName == ClassName; });
    std::erase_if(registry.Clipboard, [&](const TClipboardFormat& f) { return f.ClassName == ClassName; });
}

bool TPicture::SupportsClipboardFormat(std::uint16_t AFormat) {
    return Registry().FindFormat(AFormat) != nullptr;
}

std::string TPicture::GraphicFilter() {
    std::string filter;
    for (const TFileFormat& f : Registry().Files) {
        const std::string mask = "*." + f.Extension;
        if (filter.find(mask) != std::string::npos) continue;
        if (!filter.empty()) filter += ';';
        filter += mask;
    }
    return filter;
}

void TPicture::Changed(TObject*) {
    if (OnChange) OnChange(this);
}

// Takes Graphic as the picture's graphic, following its changes.
void TPicture::SetGraphic(TGraphic* Value) {
    std::unique_ptr<TGraphic> copy;
    if (Value != nullptr) {
        const TGraphicClass factory = Registry().FindClass(Value->ClassName());
        if (!factory) throw EInvalidGraphicOperation("Cannot copy a " + Value->ClassName());
        copy = factory();
        copy->Assign(Value);
    }
    Install(std::move(copy));
}

void TPicture::Install(std::unique_ptr<TGraphic> Graphic) {
    FGraphic = std::move(Graphic);
    if (FGraphic) FGraphic->OnChange = [this](TObject* Sender) { Changed(Sender); };
    Changed(this);
}

TBitmap* TPicture::Bitmap() {
    if (dynamic_cast<TBitmap*>(FGraphic.get()) == nullptr) Install(std::make_unique<TBitmap>());
    return static_cast<TBitmap*>(FGraphic.get());
}

int TPicture::Width() const {
    return FGraphic ? FGraphic->Width() : 0;
}
int TPicture::Height() const {
    return FGraphic ? FGraphic->Height() : 0;
}

void TPicture::Assign(TPersistent* Source) {
    if (Source == nullptr) {
        SetGraphic(nullptr);
    } else if (auto* picture = dynamic_cast<TPicture*>(Source)) {
        if (picture != this) SetGraphic(picture->GetGraphic());
    } else if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
        SetGraphic(graphic);
    } else {
        TPersistent::Assign(Source);
    }
}

// The file's extension picks the graphic class; a file that cannot be read leaves the
// picture as it was.
void TPicture::LoadFromFile(const std::string& FileName) {
    const std::string ext = ExtensionOf(FileName);
    const TFileFormat* format = Registry().FindExtension(ext);
    if (format == nullptr) throw EInvalidGraphic("Unknown picture file extension (." + ext + ")");
    std::unique_ptr<TGraphic> graphic = format->Factory();
    graphic->LoadFromFile(FileName);
    Install(std::move(graphic));
}

void TPicture::SaveToFile(const std::string& FileName) {
    if (FGraphic) FGraphic->SaveToFile(FileName);
}

void TPicture::LoadFromClipboardFormat(std::uint16_t AFormat, THandle AData, HPALETTE APalette) {
    const TClipboardFormat* format = Registry().FindFormat(AFormat);
    if (format == nullptr) throw EInvalidGraphic("Unsupported clipboard format");
    std::unique_ptr<TGraphic> graphic = format->Factory();
    graphic->LoadFromClipboardFormat(AFormat, AData, APalette);
    Install(std::move(graphic));
}

void TPicture::SaveToClipboardFormat(std::uint16_t& AFormat, THandle& AData, HPALETTE& APalette) {
    if (FGraphic) FGraphic->SaveToClipboardFormat(AFormat, AData, APalette);
}
