// The per-user settings store: a few texts under the program's application and section names.
#pragma once

#include <string>
#include <string_view>

namespace tallowby {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  // The stored text when the key exists, also when it is empty; otherwise the default. Throws
  // Failure when the store cannot be read at all.
  virtual std::string Read(std::string_view key, const std::string& default_value) = 0;

  // Creates or replaces the entry and writes it through to the store at once. Throws Failure
  // when the store cannot be written; the caller's own copy of the text is untouched either way.
  virtual void Write(std::string_view key, const std::string& value) = 0;
};

}  // namespace tallowby
