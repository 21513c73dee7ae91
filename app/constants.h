#pragma once
// The application's process-wide constants: the keys of its four stored
// settings and the two addresses of the number list.

#include <string>
#include <string_view>

inline constexpr std::string_view AutoImportEnabledKey = "AutoImportEnabledKey";
inline constexpr std::string_view ImportNumberKey = "ImportNumberKey";
inline constexpr std::string_view ImportApprovedKey = "ImportApprovedKey";
inline constexpr std::string_view DateUpdatedDefaultKey = "DateUpdatedDefaultKey";

// The product name, also the main screen's title.
inline constexpr std::string_view ProductName = "Ringeplagvern";
