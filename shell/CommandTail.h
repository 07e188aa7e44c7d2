#pragma once
#include <cstddef>
#include <string>

// The receiving end of a second start's hand-over, kept free of windows.h so
// that it is tested natively.

// Whether a byte starts a double-byte character in the ANSI code page.
using LeadBytePredicate = bool (*)(unsigned char);

// The first argument of `text` as the C runtime parses a command line: blanks
// separate, double quotes group and are removed, backslashes escape a quote.
std::string FirstArgument(const char* text, LeadBytePredicate isLeadByte);

// The path a hand-over names, or false when the data is not a string that ends
// within its `size` bytes. A second start sends its command tail unchanged: a
// tail that begins with a double quote names its first argument (what a shell
// passes for a path with blanks); any other tail is one path.
bool HandedOverPath(const void* data, size_t size, LeadBytePredicate isLeadByte,
                    std::string* path);
