#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace Platform {

// An application bundle: the folder of an installed program and its
// resources, described by its information list "Contents/Info.plist". The
// client's bundle is its install folder (/usr/lib/quorvel); the copy of the
// client that shows an icon lies inside it as a bundle of its own,
// "Contents/<name>.app", with its program in "Contents/MacOS".
namespace ApplicationBundle {

// The information list of a bundle, relative to the bundle's folder.
inline constexpr const char* InfoListPath = "Contents/Info.plist";

// The bundle a program belongs to: the bundle folder of a program that lies
// in "<bundle>/Contents/MacOS/", otherwise the program's own folder.
std::string PathOfProgram(const std::string& programPath);

// A boolean key of the bundle's information list; none when the list or
// the key is missing or the value is not a boolean, a number or a text. A
// number is true when it is not 0; a text when it starts (after blanks, a
// sign and zeros) with Y, T or a digit from 1 to 9, whatever the case.
std::optional<bool> BoolValue(const std::string& bundlePath, std::string_view key);

}  // namespace ApplicationBundle

}  // namespace Platform
