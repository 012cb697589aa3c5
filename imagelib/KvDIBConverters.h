// The pixel converters. Each reads Source and fills Result with new zero-filled storage
// of its own; it never changes Source and releases its own storage when it fails.
#pragma once

#include "imagelib/KvDIB.h"

// Depth expansions and key-colour reductions (KvDIBConvert.cpp).
void Convert1BitRGBTo4BitRGB(const TKvDIBInfos& Source, TKvDIBInfos& Result);
void Convert1BitRGBTo8BitRGB(const TKvDIBInfos& Source, TKvDIBInfos& Result);
void Convert4BitRGBTo8BitRGB(const TKvDIBInfos& Source, TKvDIBInfos& Result);
void Convert1BitRGBToTrueColor(const TKvDIBInfos& Source, TKvDIBInfos& Result);
void Convert4BitRGBToTrueColor(const TKvDIBInfos& Source, TKvDIBInfos& Result);
void Convert8BitRGBToTrueColor(const TKvDIBInfos& Source, TKvDIBInfos& Result);
void ConvertTrueColorTo1BitRGB(const TKvDIBInfos& Source, TKvDIBInfos& Result, TColor Key);
void Convert8BitTo1BitRGB(const TKvDIBInfos& Source, TKvDIBInfos& Result, TColor Key);
void Convert4BitRGBTo1BitRGB(const TKvDIBInfos& Source, TKvDIBInfos& Result, TColor Key);

// Run-length codecs (KvDIBRle.cpp).
void Convert8BitRLETo8BitRGB(const TKvDIBInfos& Source, TKvDIBInfos& Result);
void Convert4BitRLETo4BitRGB(const TKvDIBInfos& Source, TKvDIBInfos& Result);
void Convert8BitRGBTo8BitRLE(const TKvDIBInfos& Source, TKvDIBInfos& Result);
void Convert4BitRGBTo4BitRLE(const TKvDIBInfos& Source, TKvDIBInfos& Result);

// Colour reductions (KvDIBReduce.cpp).
void ConvertTrueColorTo8BitRGBLow(const TKvDIBInfos& Source, TKvDIBInfos& Result,
                                  const TKvProgressStep& Step);
void ConvertTrueColorTo4BitRGBLow(const TKvDIBInfos& Source, TKvDIBInfos& Result,
                                  const TKvProgressStep& Step);
void ConvertTrueColorTo8BitRGBHigh(const TKvDIBInfos& Source, TKvDIBInfos& Result,
                                   const TKvProgressStep& Step);
void ConvertTrueColorTo4BitRGBHigh(const TKvDIBInfos& Source, TKvDIBInfos& Result,
                                   const TKvProgressStep& Step);
void Convert8BitRGBTo4BitRGB(const TKvDIBInfos& Source, TKvDIBInfos& Result, const TKvProgressStep& Step);

// Halftoning (KvDIBHalftone.cpp).
void ConvertToHalfTone(const TKvDIBInfos& Source, TKvDIBInfos& Result);
void ConvertToHalfToneBW(const TKvDIBInfos& Source, TKvDIBInfos& Result);
