#include "qt/qt_settings_store.h"

#include <QSettings>
#include <memory>

#include "core/ports/failure.h"
#include "core/window/settings_keys.h"
#include "qt/native_text.h"

namespace tallowby {

namespace {

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::unique_ptr<QSettings> OpenStore() {
#ifdef _WIN32
  return std::make_unique<QSettings>(
      "HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\" + Text(kSettingsApplication),
      QSettings::NativeFormat);
#else
  return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                     Text(kSettingsApplication));
#endif
}

std::string Where(const QSettings& store) {
  return store.fileName().toStdString();
}

}  // namespace

std::string QtSettingsStore::Read(std::string_view key, const std::string& default_value) {
  const auto store = OpenStore();
  if (store->status() != QSettings::NoError) {
    throw Failure("The settings could not be read from " + Where(*store));
  }
  store->beginGroup(Text(kSettingsSection));
  if (!store->contains(Text(key))) return default_value;
  return ToNative(store->value(Text(key)).toString());
}

void QtSettingsStore::Write(std::string_view key, const std::string& value) {
  const auto store = OpenStore();
  store->beginGroup(Text(kSettingsSection));
  store->setValue(Text(key), FromNative(value));
  store->endGroup();
  store->sync();
  if (store->status() != QSettings::NoError) {
    throw Failure("The settings could not be saved to " + Where(*store));
  }
}

}  // namespace tallowby
