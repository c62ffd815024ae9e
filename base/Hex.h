#pragma once

#include <cstddef>
#include <string>

// Returns the bytes as lowercase hexadecimal, two digits a byte.
std::string hexOf(const void* bytes, std::size_t size);
