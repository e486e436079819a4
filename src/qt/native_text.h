// Texts cross from Qt into the core and the system in the platform's narrow encoding.
#pragma once

#include <QString>
#include <string>

namespace tallowby {

inline std::string ToNative(const QString& text) {
  return text.toLocal8Bit().toStdString();
}
inline QString FromNative(const std::string& text) {
  return QString::fromLocal8Bit(text);
}

}  // namespace tallowby
