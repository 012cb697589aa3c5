// How a form hands its handlers to its components' events.
#pragma once

#include <utility>

// An event callable that calls Handler on Form with the event's arguments, for any event of
// the toolkit: Button1->OnClick = BindHandler(this, &TForm1::Button1Click).
template <class TOwner, class... TArgs> auto BindHandler(TOwner* Form, void (TOwner::*Handler)(TArgs...)) {
    return [Form, Handler](TArgs... Args) { (Form->*Handler)(std::forward<TArgs>(Args)...); };
}
