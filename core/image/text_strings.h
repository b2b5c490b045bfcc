// String-table ids of the text forms of a radio configuration (YAML, CSV, field-level diff).
#pragma once

namespace rt62 {

enum TextString : int {
    // field values refused by the catalogue; %1 is the field's path, %2 the text given
    kStrProblemAt = 4100,       // "line %1, column %2: %3"
    kStrOutsideBand = 4101,     // "%1: %2 is outside %3-%4 MHz for %5"
    kStrNotInList = 4102,       // "%1: %2 is not one of %3"
    kStrNotNumber = 4103,       // "%1: %2 is not a number"
    kStrOutsideRange = 4104,    // "%1: %2 is outside %3-%4"
    kStrNotBoolean = 4105,      // "%1: %2 is not true or false"
    kStrNotFrequency = 4106,    // "%1: %2 is not a frequency in MHz"
    kStrNoPageCode = 4107,      // "%1: page %2 has no page code ..."
    kStrPairOff = 4108,         // "%1: pair %2 is off ..."
    kStrProxNeedsDcs = 4109,    // "%1: PROX needs DCS for both decode and encode"
    kStrChannelOneInUse = 4110, // "%1: channel 1 is always in use"
    kStrKeyTaken = 4111,        // "%1: %2 is already the function of %3"
    kStrNotSerial = 4112,       // "%1: %2 is not a serial number ..."
    kStrBadCharacters = 4113,   // "%1: %2 may hold only the characters %3"
    kStrTooLong = 4114,         // "%1: %2 is longer than %3 characters"
    kStrNotTone = 4115,         // "%1: %2 is not a tone (C-67.0, D-023 or none)"
    kStrNotPair = 4116,         // "%1: %2 is not a two-tone pair ..."
    kStrNotGroupTone = 4117,    // "%1: %2 is not a tone of %3"
    kStrNotFirmware = 4118,     // "%1: %2 is not a firmware version (such as 1.00)"
    kStrDecNeedsCode = 4119,    // "%1: DEC needs a page code"
    // the YAML document
    kStrUnknownKey = 4130,     // "%1: unknown key"
    kStrNotYaml = 4131,        // "the text is not YAML: %1"
    kStrWrongFormat = 4132,    // "format: %1 is not rt62m-1"
    kStrNotMapping = 4133,     // "%1 must hold keys and values"
    kStrNotScalar = 4134,      // "%1 must be a single value"
    kStrNotChannel = 4135,     // "%1: %2 is not a channel (1-16)"
    kStrBadRawByte = 4136,     // "raw.%1: %2 is not a byte ..."
    kStrBadRawOffset = 4137,   // "raw.%1 is not a data-file offset (0x00-0x105, or 0-261)"
    kStrBadRawChecksum = 4138, // "raw.checksum: %1 ..."
    kStrNoFormat = 4139,       // "the text has no format: rt62m-1 line"
    // CSV channel rows; %1 is the line of the row in the file
    kStrCsvLocation = 4150,      // "row %1: location %2 is not a channel of this radio (1-16)"
    kStrCsvDuplicate = 4151,     // "row %1: location %2 was already given in row %3"
    kStrCsvFrequency = 4152,     // "row %1: frequency %2 is not a number"
    kStrCsvOutsideBand = 4153,   // "row %1: frequency %2 is outside %3-%4 MHz for %5"
    kStrCsvTxOutsideBand = 4154, // "row %1: transmit frequency %2 is outside %3-%4 MHz for %5"
    kStrCsvDuplex = 4155,        // "row %1: duplex %2 is not empty, +, -, split or off"
    kStrCsvOffset = 4156,        // "row %1: offset %2 is not a number"
    kStrCsvTone = 4157,          // "row %1: tone %2 Hz is not a CTCSS code of this radio"
    kStrCsvDcs = 4158,           // "row %1: DCS code %2 is not a DCS code of this radio"
    kStrCsvToneMode = 4159,      // "row %1: tone mode %2 is not empty, Tone, TSQL, DTCS or Cross"
    kStrCsvCrossMode = 4160,     // "row %1: cross mode %2 is not one this radio can hold"
    kStrCsvPolarity = 4161,      // "row %1: DCS polarity %2 is not NN, NR, RN or RR"
    kStrCsvMode = 4162,          // "row %1: mode %2 is not FM or NFM"
    kStrCsvSkip = 4163,          // "row %1: skip %2 is not empty, S or P"
    kStrCsvPower = 4164,         // "row %1: power %2 is not High or Low"
    kStrCsvQuote = 4165,         // "row %1: a quoted field is not closed"
    kStrCsvNoColumn = 4166,      // "the header has no %1 column"
    kStrCsvSummary = 4168,       // "%1 %1{channel|channels} imported, %2 %2{row|rows} skipped"
    // field-level diff lines
    kStrDiffField = 4180,      // "%1: %2 -> %3"
    kStrDiffRaw = 4181,        // "raw %1: %2 -> %3"
    kStrDiffRadioOwned = 4182, // "%1 (radio-owned: a Download keeps the radio's value)"
    kStrDiffChecksum = 4183,   // "checksum: %1 -> %2"
    // the window's text-form commands
    kStrImportRefused = 4184,   // "The file was not imported:\r\n%1"
    kStrImportSkipped = 4185,   // "%1. These rows were skipped:\r\n%2"
    kStrCompareRefused = 4186,  // "The file cannot be compared:\r\n%1"
    kStrNoDifferences = 4187,   // "No differences."
    kStrCompareFileHead = 4188, // "Differences: the document -> %1"
    kStrCompareRadioHead = 4189,
    kStrCompareTitle = 4190,  // "Compare"
    kStrYamlFilter = 4191,    // "YAML text (*.yaml *.yml)"
    kStrCsvFilter = 4192,     // "Channel CSV (*.csv)"
    kStrCompareFilter = 4193, // "RT62M Files or YAML text (*.R62 *.r62 *.yaml *.yml)"
    kStrNotComparable = 4194, // "%1 is not a data file (262 bytes) or a YAML text (.yaml, .yml)"
};

} // namespace rt62
