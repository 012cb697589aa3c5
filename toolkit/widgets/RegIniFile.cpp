#include "toolkit/widgets/RegIniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <cctype>

#include "toolkit/graphics/Exceptions.h"
#include "toolkit/graphics/Streams.h"

namespace {

QString ConfigFolder() {
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return xdg;
    return QDir::homePath() + QStringLiteral("/.config");
}

// "\Software\Palvenor20" -> <config>/Palvenor20.ini; the user's configuration folder
// already stands for the software part of the registry.
std::string KeyFile(const std::string& Key) {
    QStringList parts = QString::fromStdString(Key).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (!parts.isEmpty() && parts.front().compare(QStringLiteral("Software"), Qt::CaseInsensitive) == 0)
        parts.pop_front();
    if (parts.isEmpty()) throw ERegistryException("Invalid registry key '" + Key + "'");
    for (const QString& part : parts)
        if (part == QStringLiteral(".") || part == QStringLiteral("..") || part.contains(QLatin1Char('/')))
            throw ERegistryException("Invalid registry key '" + Key + "'");
    return (ConfigFolder() + QLatin1Char('/') + parts.join(QLatin1Char('/')) + QStringLiteral(".ini"))
        .toStdString();
}

// Values keep every character: backslashes and line breaks are escaped on their line.
std::string Escape(const std::string& Text) {
    std::string out;
    for (const char c : Text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

std::string Unescape(const std::string& Text) {
    std::string out;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] != '\\' || i + 1 == Text.size()) {
            out += Text[i];
            continue;
        }
        const char next = Text[++i];
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

} // namespace

bool TRegIniFile::TNoCase::operator()(const std::string& A, const std::string& B) const {
    return std::lexicographical_compare(
        A.begin(), A.end(), B.begin(), B.end(),
        [](unsigned char x, unsigned char y) { return std::tolower(x) < std::tolower(y); });
}

TRegIniFile::TRegIniFile(const std::string& FileName) : FFileName(KeyFile(FileName)) {
    if (!QFileInfo::exists(QString::fromStdString(FFileName))) Save(TSections());
}

TRegIniFile::TSections TRegIniFile::Load() const {
    TSections sections;
    QFile file(QString::fromStdString(FFileName));
    if (!file.open(QIODevice::ReadOnly)) return sections;
    TValues* current = nullptr;
    while (!file.atEnd()) {
        std::string line = file.readLine().toStdString();
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            current = &sections[line.substr(1, line.size() - 2)];
            continue;
        }
        const std::size_t equals = line.find('=');
        if (current != nullptr && equals != std::string::npos)
            (*current)[line.substr(0, equals)] = Unescape(line.substr(equals + 1));
    }
    return sections;
}

bool TRegIniFile::Save(const TSections& Sections) const {
    const QString path = QString::fromStdString(FFileName);
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    std::string text;
    for (const auto& [section, values] : Sections) {
        text += "[" + section + "]\n";
        for (const auto& [ident, value] : values)
            text += ident + "=" + Escape(value) + "\n";
    }
    // Replaced only once written whole, like every file the programs save.
    try {
        TFileStream file(FFileName, fmCreate);
        file.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
        file.Commit();
    } catch (const EStreamError&) {
        return false;
    }
    return true;
}

std::string TRegIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                    const std::string& Default) const {
    const TSections sections = Load();
    const auto section = sections.find(Section);
    if (section == sections.end()) return Default;
    const auto value = section->second.find(Ident);
    return value != section->second.end() ? value->second : Default;
}

int TRegIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) const {
    bool ok = false;
    const int value = QString::fromStdString(ReadString(Section, Ident, std::string())).trimmed().toInt(&ok);
    return ok ? value : Default;
}

bool TRegIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) const {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TRegIniFile::WriteString(const std::string& Section, const std::string& Ident,
                              const std::string& Value) {
    // Names that would break the file's lines are refused, not written half.
    const bool badName = Ident.empty() || Ident.find_first_of("=\r\n") != std::string::npos ||
                         Section.find_first_of("[]\r\n") != std::string::npos;
    TSections sections = Load();
    sections[Section][Ident] = Value;
    if (badName || !Save(sections)) throw ERegistryException("Failed to set data for '" + Ident + "'");
}

void TRegIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
    WriteString(Section, Ident, std::to_string(Value));
}

void TRegIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
    WriteInteger(Section, Ident, Value ? 1 : 0);
}
