#pragma once

#include <string_view>

#include "addresses/address_file.h"
#include "common/text.h"

// The editor's work on url.txt, free of widgets.

// The whole file as it is on disk: nothing cut, a CR LF at the end kept. Missing or
// unreadable reads as empty.
Text LoadAddressText(const AddressFile& file);

// Replaces url.txt with `bytes` atomically. False when it could not be written; the old file
// is then unchanged.
bool SaveAddressText(const AddressFile& file, std::string_view bytes);

// Keeps the first occurrence of every line (cut at every CR LF), compared byte for
// byte as whole lines, in their order; every kept line ends with CR LF. An empty line stays
// only as the first line; later ones go. A lone CR or LF stays inside its line.
Text DedupeAddressLines(std::string_view text);
