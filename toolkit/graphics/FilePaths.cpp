#include "toolkit/graphics/FilePaths.h"

std::size_t FileNameStart(const std::string& FileName) {
    const std::size_t separator = FileName.find_last_of('/');
    return separator == std::string::npos ? 0 : separator + 1;
}

std::string ExtractFilePath(const std::string& FileName) {
    return FileName.substr(0, FileNameStart(FileName));
}

std::size_t ExtensionDot(const std::string& FileName) {
    return FileName.find('.', FileNameStart(FileName));
}
