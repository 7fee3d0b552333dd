// Text forms of the values kept under HKEY_CURRENT_CONFIG\Infrared\Software\Vantora:
// parsing what was read and formatting what is written. Pure functions; the
// registry calls themselves live in settings_store.cpp.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/events/port_options_record.h"

namespace vantor {

// Every value is read through a zero-filled buffer of this size, and a value that
// does not fit with its terminating zero counts as absent.
constexpr std::size_t kValueBufferSize = 300;
// The longest entry that is saved, loaded and matched whole: the watcher fetches
// a matched entry into 256 bytes.
constexpr std::size_t kMaxEntryLength = 255;

// Upper-cases ASCII a..z in place; every other byte, including bytes above 0x7F,
// stays as it is.
void UpperCaseAscii(char* text);

// Reads a decimal integer the way "%d" does: optional leading white space, an
// optional sign, then digits. Returns the number of characters consumed, or 0 when
// there is no number or it does not fit in 32 bits (then *value is untouched).
std::size_t ScanDecimal(const char* text, std::int32_t* value);

// "Transmitter": "%d;%d;end" into UsePellow, then UseKestrel. A flag the text does
// not supply is left as it was; text after the second number is ignored.
void ParseTransmitter(const char* text, PortOptionsRecord& options);

// "IrDAPortNum": "%d". Returns false (and leaves *number alone) when not a number.
bool ParsePortNumber(const char* text, std::int32_t* number);

// Sets UseCom1..UseCom4 from the port name: the flag whose "COMn" equals it.
void SelectComFlag(const char* comPortName, PortOptionsRecord& options);

// Bounded writers; each returns false if the result did not fit (the buffer then
// holds a truncated, zero-terminated text).
bool FormatTransmitter(char* out, std::size_t size, const PortOptionsRecord& options);
bool FormatDecimal(char* out, std::size_t size, std::int32_t value);
bool FormatComPortName(char* out, std::size_t size, std::int32_t number);
bool FormatEventListName(char* out, std::size_t size, std::int32_t index);

// Inverse of FormatEventListName, compared without case as the registry compares
// value names: "EventList7" and "eventlist7" give 7; "EventList07", "EventList-1",
// "EventListCount" are not entry names.
bool ParseEventListName(const char* name, std::int32_t* index);

// Copies a stored "RCFormat" into the 16-byte format code: at most 15 characters.
void CopyFormatCode(char* rcFormatCode, std::size_t size, const char* text);

// Decides what a registry query returned: the bytes are usable text only when the
// value is a string and its text ends within the buffer. Returns false when the
// value must count as absent.
bool IsUsableText(bool isString, const char* buffer, std::size_t bufferSize, std::size_t returnedSize);

}  // namespace vantor
