#include "qt/qt_settings_store.h"

#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QTextStream>
#include <memory>
#include <optional>

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

// The text after "key=" in the file's [section], as the line has it.
std::optional<QString> LineText(const QString& file_name, const QString& section,
                                const QString& key) {
  QFile file(file_name);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return std::nullopt;
  QTextStream lines(&file);
  bool in_section = false;
  while (!lines.atEnd()) {
    const QString line = lines.readLine().trimmed();
    if (line.startsWith('[')) {
      in_section = line == '[' + section + ']';
      continue;
    }
    const qsizetype equals = line.indexOf('=');
    if (in_section && equals > 0 && line.first(equals).trimmed() == key) {
      return line.sliced(equals + 1).trimmed();
    }
  }
  return std::nullopt;
}

// The program stores every text quoted; a hand-edited one with a comma and no quotes is read by
// QSettings as a list, which would show empty and then be stored empty over the user's text. The
// file's own line is what the user wrote.
QString AsWritten(const QSettings& store, const QString& key, const QVariant& value) {
  if (value.typeId() != QMetaType::QStringList) return value.toString();
  if (store.format() != QSettings::NativeFormat || !QFile::exists(store.fileName())) {
    return value.toStringList().join(',');
  }
  return LineText(store.fileName(), Text(kSettingsSection), key)
      .value_or(value.toStringList().join(','));
}

}  // namespace

std::string QtSettingsStore::Read(std::string_view key, const std::string& default_value) {
  const auto store = OpenStore();
  if (store->status() != QSettings::NoError) {
    throw Failure("The settings could not be read from " + Where(*store));
  }
  store->beginGroup(Text(kSettingsSection));
  if (!store->contains(Text(key))) return default_value;
  return ToNative(AsWritten(*store, Text(key), store->value(Text(key))));
}

void QtSettingsStore::Write(std::string_view key, const std::string& value) {
  const auto store = OpenStore();
  store->beginGroup(Text(kSettingsSection));
  // Writing rewrites the whole file, a list in QSettings' own way: a hand-edited text read as one
  // goes back as the text it was.
  for (const QString& other : store->childKeys()) {
    const QVariant stored = store->value(other);
    if (stored.typeId() == QMetaType::QStringList) {
      store->setValue(other, AsWritten(*store, other, stored));
    }
  }
  store->setValue(Text(key), FromNative(value));
  store->endGroup();
  store->sync();
  if (store->status() != QSettings::NoError) {
    throw Failure("The settings could not be saved to " + Where(*store));
  }
}

}  // namespace tallowby
