#include "gui/browse/search_filter_dlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <string>
#include <vector>

#include "core/roots.h"
#include "gui/shell/prompter.h"

CSearchFilterDlg::CSearchFilterDlg(const QStringList& roots, QWidget* parent)
    : QDialog(parent),
      m_roots(roots),
      m_limit(new QCheckBox(tr("Only search for Portfolios in paths like that below"), this)),
      m_path(new QLineEdit(this)),
      m_autoRepair(new QCheckBox(tr("Automatically repair bad Masters"), this)) {
  setWindowTitle(tr("Portfolio Search Filter"));
  setModal(true);
  m_limit->setObjectName(QStringLiteral("limit"));
  m_path->setObjectName(QStringLiteral("filterPath"));
  m_autoRepair->setObjectName(QStringLiteral("autoRepair"));
  m_path->setMinimumWidth(m_path->fontMetrics().averageCharWidth() * 48);
  m_path->setEnabled(false);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_limit);
  layout->addWidget(m_path);
  layout->addWidget(m_autoRepair);
  layout->addSpacing(8);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(m_limit, &QCheckBox::toggled, m_path, &QLineEdit::setEnabled);
  connect(buttons, &QDialogButtonBox::accepted, this, &CSearchFilterDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CSearchFilterDlg::reject);
}

int CSearchFilterDlg::limit() const { return m_limit->isChecked() ? 1 : 0; }

void CSearchFilterDlg::setLimit(int limit) {
  m_limit->setChecked(limit != 0);
  m_path->setEnabled(limit != 0);
}

QString CSearchFilterDlg::filterPath() const { return m_path->text(); }

void CSearchFilterDlg::setFilterPath(const QString& path) { m_path->setText(path); }

int CSearchFilterDlg::autoRepair() const { return m_autoRepair->isChecked() ? 1 : 0; }

void CSearchFilterDlg::setAutoRepair(int autoRepair) { m_autoRepair->setChecked(autoRepair != 0); }

bool CSearchFilterDlg::isAcceptable(int limit, const QString& path, const QStringList& roots) {
  if (limit == 0) return true;
#ifdef _WIN32
  // A drive letter and a colon, the drive being one of the list's "[-x-]" entries.
  if (path.size() < 2 || path[1] != u':') return false;
  const QString entry = QStringLiteral("[-") + path[0] + QStringLiteral("-]");
  for (const QString& root : roots) {
    if (root.compare(entry, Qt::CaseInsensitive) == 0) return true;
    if (root.size() >= 2 && root[1] == u':' && root[0].toUpper() == path[0].toUpper()) return true;
  }
  return false;
#else
  // Nothing but the path's text is examined: the directory need not exist.
  if (!QDir::isAbsolutePath(path)) return false;
  std::vector<std::string> rootList;
  rootList.reserve(static_cast<std::size_t>(roots.size()));
  for (const QString& root : roots) rootList.push_back(root.toStdString());
  return !core::longest_root_for(path.toStdString(), rootList).empty();
#endif
}

void CSearchFilterDlg::accept() {
  if (!isAcceptable(limit(), filterPath(), m_roots)) {
    Prompter::instance().message(this, tr("The Search Filter path refers to an unknown drive"),
                                 Prompter::Icon::Warning, Prompter::Buttons::Ok);
    return;
  }
  QDialog::accept();
}
