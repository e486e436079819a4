#include "app/settings_store.h"

#include <QSettings>
#include <memory>

#include "gen/failure.h"

namespace tallowby {

namespace {

std::unique_ptr<QSettings> OpenStore(const QString& application) {
#ifdef _WIN32
  return std::make_unique<QSettings>(
      "HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\" + application,
      QSettings::NativeFormat);
#else
  return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, application);
#endif
}

std::string Where(const QSettings& store) {
  return store.fileName().toStdString();
}

}  // namespace

QString ReadSetting(const QString& application, const QString& section, const QString& key,
                    const QString& default_value) {
  const auto store = OpenStore(application);
  if (store->status() != QSettings::NoError) {
    throw Failure("The settings could not be read from " + Where(*store));
  }
  store->beginGroup(section);
  if (!store->contains(key)) return default_value;
  return store->value(key).toString();
}

void WriteSetting(const QString& application, const QString& section, const QString& key,
                  const QString& value) {
  const auto store = OpenStore(application);
  store->beginGroup(section);
  store->setValue(key, value);
  store->endGroup();
  store->sync();
  if (store->status() != QSettings::NoError) {
    throw Failure("The settings could not be saved to " + Where(*store));
  }
}

}  // namespace tallowby
