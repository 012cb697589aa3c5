// The system clipboard, seen as handles per format (CF_BITMAP, CF_DIB, CF_PALETTE).
#pragma once

#include <cstdint>
#include <memory>

#include "toolkit/graphics/Graphics.h"

class TClipboard : public TPersistent {
public:
    TClipboard();
    ~TClipboard() override;
    std::string ClassName() const override { return "TClipboard"; }
    void Open(); // nests; the last Close ends the session
    void Close();
    void Clear();
    bool HasFormat(std::uint16_t Format);
    // The data for Format, owned by the clipboard (valid until the next Close or change);
    // 0 when the clipboard holds nothing convertible to that format.
    THandle GetAsHandle(std::uint16_t Format);
    // Hands Data (a global block for CF_DIB, a bitmap for CF_BITMAP, a palette for
    // CF_PALETTE) to the clipboard, which owns it from now on, also when it refuses it:
    // a malformed block raises EClipboardException. The first change of a session
    // empties the clipboard.
    void SetAsHandle(std::uint16_t Format, THandle Data);
    // Puts a graphic (or a picture's graphic) on the clipboard.
    void Assign(TPersistent* Source) override;

protected:
    // Loads the clipboard into a bitmap or picture.
    void AssignTo(TPersistent* Dest) override;

private:
    // The first change of a session empties the clipboard.
    void Adding();
    struct Impl;
    std::unique_ptr<Impl> FImpl;
};

TClipboard& Clipboard();
