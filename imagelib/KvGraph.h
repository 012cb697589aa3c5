// The image library's graphic base class.
#pragma once

#include <cstdint>

#include "toolkit/graphics/Graphics.h"

class TKvGraphic : public TGraphic {
public:
    std::string ClassName() const override { return "TKvGraphic"; }
    // Assigning the clipboard loads its data in this graphic's own format.
    void Assign(TPersistent* Source) override;
    virtual std::uint16_t GetClipboardFormat() = 0;
};
