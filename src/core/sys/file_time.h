#pragma once
// The modification time of a file, in local time: the image stamps keep its minute and second.
#include <ctime>
#include <optional>
#include <string>

namespace quillet {

// Nothing when the file's status cannot be read.
std::optional<std::tm> FileModifiedLocalTime(const std::string& path);

}  // namespace quillet
