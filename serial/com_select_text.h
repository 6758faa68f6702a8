// Text forms of the serial settings, as the setting selectors list them and
// as settings are read back from text, and the order of the port list.
#pragma once

#include "serial/com_types.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace serial {

// Which setting a selector offers.
enum TComProperty : uint8_t { cpNone, cpPort, cpBaudRate, cpDataBits, cpStopBits, cpParity, cpFlowControl };

// The text form of a value ("Custom", "4800", "1.5", "Even" ...); empty for a
// number that is no value of the type.
std::string_view BaudRateName(TBaudRate value);
std::string_view DataBitsName(TDataBits value);
std::string_view StopBitsName(TStopBits value);
std::string_view ParityName(TParityBits value);
std::string_view FlowControlName(TFlowControl value);

// The value whose text form equals the whole text, ignoring the case of the
// letters a to z; a text that matches none gives the usual line setting
// (br9600, dbEight, sbOneStopBit, prNone, fcCustom). No blanks are trimmed.
TBaudRate ParseBaudRate(std::string_view text);
TDataBits ParseDataBits(std::string_view text);
TStopBits ParseStopBits(std::string_view text);
TParityBits ParseParity(std::string_view text);
TFlowControl ParseFlowControl(std::string_view text);

// The text forms of every value of the kind's setting, index = ordinal. Empty
// for cpNone, and for cpPort, whose entries are the machine's ports.
std::span<const std::string_view> SettingEntries(TComProperty kind);

// The index of the first entry equal to the whole text, ignoring the case of
// the letters a to z as the parse functions do; -1 when none is.
int IndexOfText(std::span<const std::string> entries, std::string_view text);

// Puts port names in the order the port list shows them: by text ignoring
// letter case, so COM10 comes before COM2 and ttyACM0 before ttyS0.
void SortPortNames(std::vector<std::string>& names);

}  // namespace serial
