// Settings under a registry-style key, kept as an INI file in the user's configuration
// folder ($XDG_CONFIG_HOME, else ~/.config): the key "\Software\Name" is the file
// Name.ini there (deeper keys are folders), its sections the INI sections. Every write
// replaces the file whole, through a temporary file, so a failed write leaves the old one.
#pragma once

#include <map>
#include <string>

#include "toolkit/widgets/Control.h"

TOOLKIT_EXCEPTION(ERegistryException, Exception)

class TRegIniFile : public TComponent {
public:
    // Opens the key, creating it when it is missing. A key with empty, "." or ".."
    // parts raises ERegistryException.
    explicit TRegIniFile(const std::string& FileName);
    std::string ClassName() const override { return "TRegIniFile"; }

    // The file behind the key.
    const std::string& FileName() const { return FFileName; }

    std::string ReadString(const std::string& Section, const std::string& Ident,
                           const std::string& Default) const;
    // A value that is not a whole number reads as Default.
    int ReadInteger(const std::string& Section, const std::string& Ident, int Default) const;
    bool ReadBool(const std::string& Section, const std::string& Ident, bool Default) const;
    // A failed write raises ERegistryException "Failed to set data for '<Ident>'".
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value);
    void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
    void WriteBool(const std::string& Section, const std::string& Ident, bool Value);

private:
    // Section and value names compare without regard to case, as in the registry.
    struct TNoCase {
        bool operator()(const std::string& A, const std::string& B) const;
    };
    using TValues = std::map<std::string, std::string, TNoCase>;
    using TSections = std::map<std::string, TValues, TNoCase>;
    TSections Load() const;
    bool Save(const TSections& Sections) const;

    std::string FFileName;
};
