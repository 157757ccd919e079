// What the fuzz targets share: the input as text (each byte the character of its value), and the
// check of a property, which ends the run when broken (libFuzzer keeps the input that broke it).
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

inline std::wstring Latin1(const std::uint8_t* data, std::size_t size) { return std::wstring(data, data + size); }

#define REQUIRE(property) \
    ((property) ? void() : (std::fprintf(stderr, "Property broken: %s\n", #property), std::abort()))
