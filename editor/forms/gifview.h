// The test window that plays the animation: every frame composed from the score on the main
// image, shown on the background colour for its wait, in an endless loop until stopped.
#pragma once

#include <cstdint>

#include "toolkit/widgets/Buttons.h"
#include "toolkit/widgets/ComponentOwner.h"
#include "toolkit/widgets/Containers.h"
#include "toolkit/widgets/Form.h"
#include "toolkit/widgets/ImageControl.h"

class TEditorDocument;

// The client area of the playback window for a main image of Width x Height: a 20-pixel border
// round the frame below the 40-pixel button panel, never smaller than 300 x 140.
TPoint PlaybackClientSize(int Width, int Height);

// Waits Milliseconds by the tick counter, letting pending messages run (at least once).
void WaitTicks(std::int64_t Milliseconds);

class Tviewform : public TForm {
public:
    Tviewform();
    ~Tviewform() override;
    std::string ClassName() const override { return "Tviewform"; }

    TPanel* Panel1;
    TButton* Button1;
    TButton* Button2;
    TButton* Button3;
    TImage* Image1;

    // Set by the stop and close buttons; tested once per frame.
    bool PlayerStopped = false;

    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Button1Click(TObject* Sender); // "開始": plays again once stopped
    void Button2Click(TObject* Sender); // "停止": stops after the current frame
    void Button3Click(TObject* Sender); // "閉じる": stops and closes the window
    // Plays frames 0 to the last set frame over and over until the stop or close button, or
    // the window closing, ends it after the current frame's wait.
    void PlayLoop();

private:
    TComponentOwner FParts;
    bool FPlaying = false;
    // Activation starts one play per showing; coming back to the window after a message box
    // or another program does not start another.
    bool FStartedThisShowing = false;
};

extern Tviewform* viewform;
