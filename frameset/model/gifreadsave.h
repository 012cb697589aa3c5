// Saving the frame list: as one GIF89a file (built whole in GifFileData, then written in one
// piece) and the names of numbered BMP sequences.
#pragma once

#include <functional>
#include <string>

#include "frameset/model/gifreadreduce.h"
#include "toolkit/graphics/Streams.h"

// Header, screen descriptor of the set's screen size, the global table and, for two or more
// frames, the endless looping block.
void WriteFrameSetGifHeader(TStream& Stream);
// Control extension, image descriptor and LZW minimum code size of frame Index.
void WriteFrameSetGifFrameHeader(TStream& Stream, int Index);
// The LZW data of frame Index: its whole picture, over the entry's Width x Height.
void WriteFrameSetGifImageData(TStream& Stream, int Index);
void WriteFrameSetGifTrailer(TStream& Stream);

// A transparent frame with a transparent point takes the index of its picture's pixel there.
void TakeTransparentIndexes();
// Writes the whole list, already reduced to one palette, as a GIF to FileName; the
// transparent indexes are taken from the reduced pictures first.
void SaveFrameSetGif(const std::string& FileName, const TFrameSetProgress& Progress);

// The base of numbered names: the file name without its first ".bmp", in any letter case.
std::string NumberedBaseName(const std::string& FileName);
// Base + Number, at least three digits, + ".bmp".
std::string NumberedFileName(const std::string& Base, int Number);
// The frames a sequence saves: all of them when one grid row is selected, else the frames
// of the selected rows SelectionTop..SelectionBottom.
void NumberedRange(int SelectionTop, int SelectionBottom, int& First, int& Last);
// Calls Save(frame, numbered name) for frames First..Last, numbered from 0. The progress
// follows the frames and is back at 0 when the sequence ends, also when a file fails.
void ForEachNumberedFrame(const std::string& FileName, int First, int Last,
                          const std::function<void(int Frame, const std::string& Name)>& Save,
                          const TFrameSetProgress& Progress);
// Each frame's own picture, as BMP files numbered from 0.
void SaveFramePictures(const std::string& FileName, int First, int Last, const TFrameSetProgress& Progress);
