// One failure type for every operation of the program that can go wrong.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <utility>

namespace platform {

// A failing operation throws a Failure: the system's error number and its description.
class Failure : public std::exception {
public:
    Failure(std::uint32_t number, std::wstring description) : number_(number), description_(std::move(description)) {}

    std::uint32_t Number() const noexcept { return number_; }
    const std::wstring& Description() const noexcept { return description_; }
    // The description and the number, as a message box shows them: "... (error 5)".
    std::wstring Text() const { return description_ + L" (error " + std::to_wstring(number_) + L")"; }
    const char* what() const noexcept override { return "platform::Failure"; }

private:
    std::uint32_t number_;
    std::wstring description_;
};

// The system's own text for a Win32 error number, without a trailing line end.
std::wstring SystemErrorText(std::uint32_t number);

// A Failure for the given Win32 error number with the system's text.
[[noreturn]] void ThrowWin32(std::uint32_t number);
// A Failure for GetLastError(), read at the point of the call.
[[noreturn]] void ThrowLastError();

// The text of the standard error message shown for a failure that nothing handled.
std::wstring StandardErrorText(const Failure& failure);

}  // namespace platform
