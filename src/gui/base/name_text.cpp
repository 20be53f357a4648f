#include "gui/base/name_text.h"

namespace {
qdb::CodePage g_page = qdb::CodePage::kLatin1;
}  // namespace

void setNamesCodePage(qdb::CodePage page) { g_page = page; }

qdb::CodePage namesCodePage() { return g_page; }

QString masterText(const std::string& bytes) {
  return QString::fromStdString(qdb::decode_name(bytes, g_page));
}

std::string masterBytes(const QString& text) {
  qdb::EncodedName encoded = qdb::encode_name(text.toStdString(), g_page);
  return encoded.bytes ? std::move(*encoded.bytes) : text.toLatin1().toStdString();
}

QString unwritableName(const QString& text) {
  const qdb::EncodedName encoded = qdb::encode_name(text.toStdString(), g_page);
  if (encoded.bytes) return {};
  return QString::fromStdString(qdb::unwritable_name_message(encoded, g_page));
}
