// CP932 engine text <-> the QStrings of the screen, through the one converter.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QString>

#include "cp932.h"

namespace tovra {

inline QString ToQString(std::string_view cp932_text) {
  return QString::fromStdString(cp932::ToUtf8(cp932_text));
}

// nullopt when the text holds a character that CP932 cannot carry.
inline std::optional<std::string> ToCp932(const QString& text) {
  return cp932::FromUtf8(text.toStdString());
}

}  // namespace tovra
