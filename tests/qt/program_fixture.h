// What the tests of the Qt program share: recording stand-ins for everything outside the program, a
// settings store in a fresh temporary folder, and the whole program built on them.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "core/ports/failure.h"
#include "core/window/settings_keys.h"
#include "qt/main_window.h"
#include "qt/native_text.h"
#include "qt/program.h"
#include "qt/qt_settings_store.h"
#include "support/scripted_source.h"
#include "support/window_services.h"

namespace tallowby::testing {

struct QtBox {
  QString text;
  QString caption;
  MessageIcon icon;
};

class RecordingMessageBoxes final : public MessageBoxes {
 public:
  void Show(const QString& text, const QString& caption, MessageIcon icon) override {
    shown.push_back({text, caption, icon});
  }
  QStringList Texts() const {
    QStringList texts;
    for (const auto& box : shown)
      texts << box.text;
    return texts;
  }
  std::vector<QtBox> shown;
};

inline void WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes);
}

// Points the settings store at a fresh folder, so no test ever sees the user's own settings.
class IsolatedSettings {
 public:
  IsolatedSettings() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder_.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder_.path());
  }
  QString File() const { return folder_.path() + "/Kestrelane.conf"; }
  QString Folder() const { return folder_.path(); }

  // Whether the key is stored, and its text.
  std::optional<QString> Stored(const QString& key) const {
    QSettings store(File(), QSettings::IniFormat);
    store.beginGroup(QString::fromUtf8(kSettingsSection.data(), kSettingsSection.size()));
    if (!store.contains(key)) return std::nullopt;
    return store.value(key).toString();
  }
  void Store(const QString& key, const QString& value) const {
    QtSettingsStore().Write(ToNative(key), ToNative(value));
  }

 private:
  QTemporaryDir folder_;
};

// The whole program on recording stand-ins, with a program folder of the test's own.
class ProgramTest : public ::testing::Test {
 protected:
  ProgramTest() {
    services.program_folder = program_folder.path();
    services.boxes = &boxes;
    services.chooser = &chooser;
    services.site = &site;
    services.spreadsheet = &spreadsheet;
    services.random = &random;
    services.clock = [] { return 1000.0F; };
    services.desktop_folder = [this] { return desktop.toStdString(); };
    desktop = desktop_folder.path();
  }

  Program& Start() {
    application.reset();
    qApp->setStyleSheet({});  // a skin of an earlier start dresses the whole application
    application = std::make_unique<Program>(services);
    return *application;
  }

  IsolatedSettings settings;
  QTemporaryDir program_folder;
  QTemporaryDir desktop_folder;
  QString desktop;
  RecordingMessageBoxes boxes;
  ScriptedFolderChooser chooser;
  RecordingSiteVisitor site;
  FakeSpreadsheet spreadsheet;
  ScriptedSource random{std::vector<double>(64, 0.5)};
  ProgramServices services;
  std::unique_ptr<Program> application;
};

}  // namespace tallowby::testing
