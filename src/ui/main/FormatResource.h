#pragma once

#include <QByteArray>

// The format description text carried inside the program (resource FRM).
namespace FormatResource {

inline constexpr const char* Path = ":/FRM";

// The whole text; throws TUvoError with the platform's message when the
// resource cannot be found or read.
QByteArray Read();

}  // namespace FormatResource
