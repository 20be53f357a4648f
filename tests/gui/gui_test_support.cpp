#include "gui_test_support.h"

#include <gtest/gtest.h>

#include <QDialog>

#include "gui/browse/fix_master_dlg.h"
#include "gui/browse/settings_store.h"
#include "qdb/dates.h"
#include "qdb/writer.h"

namespace gui_test {

ScriptedPrompter::ScriptedPrompter() : m_previous(Prompter::install(this)) {}

ScriptedPrompter::~ScriptedPrompter() { Prompter::install(m_previous); }

Prompter::Answer ScriptedPrompter::message(QWidget*, const QString& text, Icon icon, Buttons) {
  messages.push_back({text, icon});
  return Answer::Ok;
}

int ScriptedPrompter::exec(QDialog& dialog) {
  Dialog record{dialog.windowTitle(), {}, false};
  if (auto* fix = qobject_cast<CFixMasterDlg*>(&dialog)) {
    record.text = fix->message();
    record.report = fix->form() == CFixMasterDlg::Form::Report;
  }
  dialogs.push_back(record);
  return onExec ? onExec(dialog) : QDialog::Accepted;
}

QStringList ScriptedPrompter::messageTexts() const {
  QStringList texts;
  for (const Message& m : messages) texts << m.text;
  return texts;
}

SettingsSandbox::SettingsSandbox()
    : m_previous(qgetenv("XDG_CONFIG_HOME")),
      m_hadPrevious(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")) {
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(m_dir.path().string()));
  m_store = std::make_unique<CSettingsStore>();
  m_store->OpenBaseKey();
}

SettingsSandbox::~SettingsSandbox() {
  m_store.reset();
  if (m_hadPrevious)
    qputenv("XDG_CONFIG_HOME", m_previous);
  else
    qunsetenv("XDG_CONFIG_HOME");
}

std::vector<qdb::QuoteBar> make_bars(int count) {
  std::vector<qdb::QuoteBar> bars;
  const qdb::DateSerial first = qdb::date_serial(2000, 1, 3);
  for (int i = 0; i < count; ++i) {
    const float price = 10.0f + 0.25f * static_cast<float>(i);
    bars.push_back({static_cast<qdb::DateSerial>(first + i), 0, price, price + 1.0f, price - 1.0f,
                    price + 0.5f, 1000.0f + static_cast<float>(i), 50.0f});
  }
  return bars;
}

void make_portfolio(const std::filesystem::path& dir, const std::vector<SymbolSpec>& symbols) {
  const std::string d = dir.string();
  ASSERT_TRUE(qdb::create_portfolio(d));
  for (const SymbolSpec& s : symbols) {
    const std::vector<qdb::QuoteBar> bars = make_bars(s.quotes);
    const int fields = s.record_length / 4;
    ASSERT_TRUE(qdb::write_data_file(d, s.file_number, bars, qdb::default_layout(s.record_length),
                                     s.record_length));
    ASSERT_TRUE(qdb::append_master_record(
        d, qdb::make_master_record(s.file_number, s.symbol, s.name, s.record_length, fields,
                                   bars.empty() ? 0 : bars.front().date,
                                   bars.empty() ? 0 : bars.back().date)));
  }
}

}  // namespace gui_test
