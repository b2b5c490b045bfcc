// The channel grid in words, for screen readers: a cell's channel, column and value, a column's whole name.
#pragma once

#include <string>

#include "core/image/model.h"

namespace rt62 {

// String-table ids of the spoken grid.
enum SpeechString : int {
    kStrSpeechTable = 4400,         // "Channels"
    kStrSpeechCell = 4401,          // "Channel %1, %2, %3"
    kStrSpeechCellUnused = 4402,    // "Channel %1, not in use, %2, %3"
    kStrSpeechSubject = 4403,       // "Channel %1 %2"
    kStrSpeechOn = 4404,            // "on"
    kStrSpeechOff = 4405,           // "off"
    kStrSpeechInUse = 4406,         // "in use"
    kStrSpeechNotInUse = 4407,      // "not in use"
    kStrSpeechWide = 4408,          // "wide"
    kStrSpeechNarrow = 4409,        // "narrow"
    kStrSpeechMHz = 4410,           // "%1 MHz"
    kStrSpeechTxInhibit = 4411,     // "transmit inhibited"
    kStrSpeechNone = 4412,          // "none"
    kStrSpeechCtcss = 4413,         // "CTCSS %1 Hz"
    kStrSpeechDcs = 4414,           // "DCS %1"
    kStrSpeechHigh = 4415,          // "high"
    kStrSpeechLow = 4416,           // "low"
    kStrSpeechLockOff = 4417,       // "transmit always allowed"
    kStrSpeechLockBusyChannel = 4418,
    kStrSpeechLockBusyTone = 4419,
    kStrSpeechUnknown = 4420,       // "unknown value %1"
    kStrSpeechCaption = 4421,       // "%1 %2" (info panel: caption, value)
    kStrSpeechPageDecode = 4422,    // "%1 decode" (the paging code's Off/DEC list)
    kStrSpeechColumnFirst = 4430,   // 4430-4449: the column in a cell's name ("Receive")
    kStrSpeechHeaderFirst = 4450,   // 4450-4469: the column header's whole name ("Frequency Receive")
};

// "Channel 3, Receive, 146.52000 MHz"; a channel not in use says so after its number.
std::string ChannelCellSpeech(const ImageModel& model, int n, int column);
// The value alone, in words: "146.52000 MHz", "CTCSS 100.0 Hz", "on".
std::string ChannelValueSpeech(const ImageModel& model, int n, int column);
// The column as a cell names it ("Decode") and as its header names it ("Sub audio Decode").
std::string ColumnSpeech(int column);
std::string ColumnHeaderSpeech(int column);
// What an editor or pick list works on: "Channel 3 Receive".
std::string ChannelColumnSubject(int n, int column);

}  // namespace rt62
