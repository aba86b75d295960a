// Numbered file channels 0..7: the game reads its level files and reads and rewrites its record files
// through them, one fixed-width little-endian value at a time. Every failure stops the program: a channel
// number outside 0..7 with error 7, a read or write on a channel that is not open, a short read or a
// failed write with error 3. Only FileOpen reports failure as a result instead.
//
// A file opened for writing is written under a temporary name beside it and put in place by FileClose,
// so the file on disk is always either the whole old version or the whole new one. Only regular files are
// read or replaced: a folder, a FIFO or a device under the name is refused without waiting.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/core/RtString.h"

// Opens `path` on `channel`, closing the channel first if it is open. Mode 0 writes a new file that
// replaces `path` when the channel is closed; any other mode reads the existing file. Returns 1 when
// the file could be opened, else 0 (the channel stays closed; no stop).
double FileOpen(double channel, const RtString& path, double mode);
// Closes the channel; a file being written is flushed to disk and put in place of the old one. Returns 0.
double FileClose(double channel);

double ReadByte(double channel);    // 1 byte, 0..255
double ReadWord(double channel);    // 2 bytes, 0..65535
double ReadLong(double channel);    // 4 bytes, 0..4294967295
double ReadDouble(double channel);  // 8 bytes, a 64-bit float
// `count` values of `width` bytes (1, 2, 4 or 8) into `out` (count * width bytes, as they stand in the
// file), read at once but exactly as `count` calls of the reader of that width (ReadByte, ReadWord,
// ReadLong, ReadDouble) would read them: the same position afterwards, and a file that ends early stops
// the program with the message of the read that reaches its end.
void ReadBlock(double channel, int width, size_t count, uint8_t* out);
// `count` bytes; the text ends at the first zero byte among them. A count of 0 or less reads nothing.
RtString ReadString(double channel, double count);
// One line of at most 1024 bytes, without its CR LF or LF.
RtString ReadLine(double channel);
// ReadLine, read as a number.
double ReadNumberLine(double channel);

// Writers return 1.
double WriteByte(double channel, double value);            // low byte of the value as a signed 16-bit integer
double WriteWord(double channel, double value);            // low 16 bits of the value as a 32-bit integer
double WriteLong(double channel, double value);            // 4 bytes; 0..4294967295 and -2^31..-1 exactly
double WriteDouble(double channel, double value);          // the 8 bytes of the 64-bit float
double WriteString(double channel, const RtString& text);  // the bytes, no terminator
double WriteLine(double channel, const RtString& text);    // the bytes, then CR LF
double WriteNumberLine(double channel, double value);      // the number as text, then CR LF
// `values` written as one block, each as the writer of `width` bytes (1, 2, 4 or 8: WriteByte, WriteWord,
// WriteLong, WriteDouble) writes it; the bytes on disk and the stops are those of calling it for each value.
void WriteBlock(double channel, int width, const std::vector<double>& values);

// 1 when reads have reached the end of the file (always 1 for a file being written), else 0.
double EndOfFile(double channel);
// Deletes a file; a file that cannot be deleted is left alone.
void RemoveFile(const RtString& path);

// At program end: closes every channel. A file still being written is discarded and the old one kept,
// since a program stopped in the middle of writing has not finished it; so is an unfinished write group.
void CloseAllChannels();

// A save that spans several files. Files closed after BeginWriteGroup are written whole and synced but
// keep their temporary names; CommitWriteGroup then writes a small commit record beside them, puts every
// file in place and removes the record. Whenever the program stops (a failed write, a kill, a power cut),
// the folder holds either all the old files or all the new ones: a stop before the record leaves the old
// files, and RecoverWriteGroup at the next start finishes a group whose record is on disk. All files of a
// group must lie in one folder. A failure stops the program with error 3.
void BeginWriteGroup();
void CommitWriteGroup();
// Run before the files of `folder` (ending in "/", or "" for the working folder) are read, with no save
// under way in it: finishes a group whose commit record was written, then removes the temporaries left
// by saves stopped earlier. Only temporaries named after the files in `names` ("Data.bin") are touched.
void RecoverWriteGroup(const std::string& folder, const std::vector<std::string>& names);
