// Score files (*.sct): a whole editor document in one file. Layout: the 10-byte magic, the
// main image as a BMP file, one BMP file per used cast slot (channel 0..9, slot 0..19), then a
// fixed-size table block (the tail) whose size depends on the version. The reader finds the
// tail by seeking back from the end. Little-endian Int32, Booleans as one byte, no padding.
// The editor and the text-light generator both write the current version through here.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

#include "editor/model/effects.h"
#include "toolkit/graphics/Streams.h"

enum TScoreVersion { sv20, sv30, sv31, sv36 };

constexpr int ScoreMagicSize = 10;
constexpr TScoreVersion CurrentScoreVersion = sv36;
constexpr int CastStreamCount = ChannelCount * CastSlotCount;
// The smallest tail of any version; a shorter file is no score file.
constexpr int MinScoreTailSize = 19604;

// One channel's part of the tail, in file order.
struct TScoreChannelRecord {
    std::array<TPoint, ScoreFrameCount> Positions{};
    std::array<bool, ScoreFrameCount> CellSet{};
    std::array<bool, CastSlotCount> CastTransparent{};
    std::array<TPoint, CastSlotCount> CastKeyPoint{};
};

// The tables at the end of a score file, in file order. A tail of an older version leaves the
// fields it does not hold as they are in the record.
struct TScoreTail {
    std::array<TScoreChannelRecord, ChannelCount> Channels;
    std::array<std::int32_t, ScoreFrameCount> FrameWaits{};
    std::array<TPoint, ScoreFrameCount> FramePoints{};
    std::int32_t MainImageSize = 0;
    // Index channel * CastSlotCount + slot; 0 = no stream for the slot.
    std::array<std::int32_t, CastStreamCount> CastImageSizes{};
};

// "Palvenor36" and its older siblings, without terminator.
std::string_view ScoreMagic(TScoreVersion Version);
int ScoreChannelRecordSize(TScoreVersion Version);
int ScoreTailSize(TScoreVersion Version);

// Low-level writing, shared by every writer of the current version.
void WriteScoreMagic(TStream& Stream);
// Writes Graphic as a whole BMP file; returns how far the stream position advanced.
std::int32_t WriteScorePicture(TStream& Stream, TGraphic& Graphic);
// Writes Tail in the current version's layout (23004 bytes).
void WriteScoreTail(TStream& Stream, const TScoreTail& Tail);
// Decodes a tail of Version from exactly ScoreTailSize(Version) bytes into Tail.
void DecodeScoreTail(const std::uint8_t* Bytes, TScoreVersion Version, TScoreTail& Tail);

// Called with each channel 0..9 as its pictures are written or read.
using TScoreProgress = std::function<void(int Channel)>;

// Writes Document as a current-version score file from the stream's position.
void WriteScoreFile(TStream& Stream, const TEditorDocument& Document, const TScoreProgress& Progress = {});

struct TScoreLoadResult {
    // False: too short, or no known magic; the document is untouched.
    bool Accepted = false;
    TScoreVersion Version = CurrentScoreVersion;
    // The main image and the working canvas were replaced.
    bool MainImageLoaded = false;
};

// Reads a score file of any version (the whole of Stream) into Document. The tables the
// version holds are replaced; pictures come in slot by slot over what is there. A picture that
// fails to load or cannot be held, or an image length outside the file, raises the stream or
// graphic error and leaves the document as it was: the whole file is read before anything
// in the document changes.
TScoreLoadResult ReadScoreFile(TStream& Stream, TEditorDocument& Document,
                               const TScoreProgress& Progress = {});
