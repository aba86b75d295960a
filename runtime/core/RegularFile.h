// Opening the files the game reads (levels, records, media, the archive): only regular files are
// accepted, and opening never waits. A FIFO, a device or a folder under one of the game's file names is
// refused at once instead of stalling the program in the open or the first read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The error reported for a path that exists but is not a regular file (a FIFO, a device, a socket).
// Negative, so that it never clashes with an errno value.
constexpr int kErrNotRegularFile = -1;

// Opens `path` for reading. Returns the descriptor (close-on-exec, blocking reads) and the file's size,
// or -1 with `error` set to the errno of the failed call, EISDIR for a folder, or kErrNotRegularFile.
int OpenRegularFile(const std::string& path, int64_t& size, int& error);

// Reads the whole regular file at `path` into `bytes`. False when it cannot be opened, is not a regular
// file, is larger than `maxBytes`, or a read fails; `bytes` is then empty.
bool ReadRegularFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& bytes);

// A short lower-case reason for an error from OpenRegularFile or a file operation: "no such file",
// "permission denied", "is a folder", "not a regular file", "disk full", ...
std::string FileErrorText(int error);
