#pragma once

#include <string>
#include <string_view>

// The whole file's bytes; empty bytes when it is missing or cannot be read.
std::string ReadWholeFile(const std::string& path);

// Replaces the file with `bytes` atomically: a temporary file beside it is written, flushed
// and renamed over it, so a crash never leaves a truncated file. False when the path is
// empty or anything fails; the old file is then unchanged. Never shows a message.
bool WriteWholeFile(const std::string& path, std::string_view bytes);

// Whether a new file can be created beside `path` (its folder exists and takes new files),
// tried by creating and removing one: what an atomic replace of `path` needs.
bool CanCreateFileBeside(const std::string& path);

// Whether `path` is a file this process can open for reading (not a folder).
bool IsReadableFile(const std::string& path);
