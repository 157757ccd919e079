// What the fuzz targets share: the input as text, and the check of a property.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// Each byte of the input as the character of its value (U+0000-U+00FF).
inline std::wstring Latin1(const std::uint8_t* data, std::size_t size) { return std::wstring(data, data + size); }

// A property that does not hold ends the run: libFuzzer keeps the input that broke it.
#define REQUIRE(property) \
    ((property) ? void() : (std::fprintf(stderr, "Property broken: %s\n", #property), std::abort()))
