// What every program's forms share in building their components: ownership and fonts.
// Controls are created parents first and freed in the reverse order, so a control never
// outlives the container it sits in.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "toolkit/widgets/Buttons.h"
#include "toolkit/widgets/Control.h"
#include "toolkit/widgets/TextControls.h"

class TComponentOwner {
public:
    TComponentOwner() = default;
    TComponentOwner(const TComponentOwner&) = delete;
    TComponentOwner& operator=(const TComponentOwner&) = delete;
    ~TComponentOwner() {
        while (!FComponents.empty())
            FComponents.pop_back();
    }

    // A new component owned here; Name is the one the form knows it by.
    template <class T, class... Args> T* Make(const char* Name, Args&&... Arguments) {
        auto component = std::make_unique<T>(std::forward<Args>(Arguments)...);
        T* result = component.get();
        result->Name = Name;
        FComponents.push_back(std::move(component));
        return result;
    }

    // A caption at (Left, Top), sized to its text.
    TLabel* MakeLabel(const char* Name, TWinControl* Parent, int Left, int Top, const char* Caption) {
        auto* label = Make<TLabel>(Name, Parent);
        label->SetCaption(Caption);
        label->SetLeft(Left);
        label->SetTop(Top);
        return label;
    }

    // A push button filling Bounds.
    TButton* MakeButton(const char* Name, TWinControl* Parent, TRect Bounds, const char* Caption) {
        auto* button = Make<TButton>(Name, Parent);
        button->SetBounds(Bounds.Left, Bounds.Top, Bounds.Right - Bounds.Left, Bounds.Bottom - Bounds.Top);
        button->SetCaption(Caption);
        return button;
    }

private:
    std::vector<std::unique_ptr<TComponent>> FComponents;
};

// The Japanese UI fonts the forms are drawn in.
inline TFont ShiftJisFont(const char* Name, int Height) {
    TFont font;
    font.Name = Name;
    font.Height = Height;
    font.Charset = SHIFTJIS_CHARSET;
    return font;
}
