#include "toolkit/widgets/Dialogs.h"

#include "toolkit/graphics/FilePaths.h"
#include "toolkit/widgets/ModalAnswerer.h"

std::vector<TFilterEntry> SplitFilter(const std::string& Filter) {
    std::vector<TFilterEntry> entries;
    std::size_t start = 0;
    while (start < Filter.size()) {
        const std::size_t bar = Filter.find('|', start);
        if (bar == std::string::npos) break;
        std::size_t end = Filter.find('|', bar + 1);
        if (end == std::string::npos) end = Filter.size();
        entries.push_back({Filter.substr(start, bar - start), Filter.substr(bar + 1, end - bar - 1)});
        start = end + 1;
    }
    return entries;
}

namespace {

// The extension of the FilterIndex-th filter's first pattern when it names one ("*.gif").
std::string FilterExtension(const std::string& Filter, int FilterIndex) {
    const std::vector<TFilterEntry> entries = SplitFilter(Filter);
    if (FilterIndex < 1 || FilterIndex > static_cast<int>(entries.size())) return std::string();
    const std::string& patterns = entries[static_cast<std::size_t>(FilterIndex - 1)].Patterns;
    std::string pattern = patterns.substr(0, patterns.find(';'));
    if (pattern.rfind("*.", 0) != 0) return std::string();
    pattern.erase(0, 2);
    return pattern.find_first_of("*?") == std::string::npos ? pattern : std::string();
}

} // namespace

bool TOpenDialog::Execute() {
    TFileRequest request;
    request.Save = Saving();
    request.Title = Title;
    request.Filter = Filter;
    request.FilterIndex = FilterIndex;
    request.InitialDir = InitialDir;
    request.FileName = FFileName;
    request.MultiSelect = (Options & ofAllowMultiSelect) != 0;
    request.OverwritePrompt = (Options & ofOverwritePrompt) != 0;
    TFileAnswer answer;
    if (!ModalAnswerer().AnswerFileDialog(request, answer) || answer.Files.empty()) return false;
    FilterIndex = answer.FilterIndex;
    FFiles.clear();
    for (const std::string& file : answer.Files)
        FFiles.push_back(Saving() ? WithDefaultExtension(file) : file);
    FFileName = FFiles.front();
    return true;
}

std::string TOpenDialog::WithDefaultExtension(const std::string& Name) const {
    if (DefaultExt.empty()) return Name;
    if (ExtensionDot(Name) != std::string::npos) return Name;
    std::string extension = FilterExtension(Filter, FilterIndex);
    if (extension.empty()) {
        extension = DefaultExt.substr(0, DefaultExt.find(';'));
        extension.erase(0, extension.find_first_not_of("*."));
    }
    return extension.empty() ? Name : Name + "." + extension;
}

bool TColorDialog::Execute() {
    TColorRequest request;
    request.Color = Color;
    request.CustomColors = CustomColors;
    return ModalAnswerer().AnswerColorDialog(request, Color);
}

bool TFontDialog::Execute() {
    TFont chosen = Font;
    if (!ModalAnswerer().AnswerFontDialog(Font, chosen)) return false;
    chosen.Color = Font.Color;
    chosen.Charset = Font.Charset;
    Font = chosen;
    return true;
}
