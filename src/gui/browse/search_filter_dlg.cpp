#include "gui/browse/search_filter_dlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/base/dialog_keys.h"
#include "gui/base/platform_ui.h"
#include "gui/base/prompter.h"
#include "gui/base/settings_store.h"

CSearchFilterDlg::CSearchFilterDlg(const QStringList& roots, QWidget* parent)
    : QDialog(parent),
      m_roots(roots),
      m_chooser([](QWidget* owner, const QString& start) {
        return QFileDialog::getExistingDirectory(owner, QString(), start);
      }),
      m_limit(new QCheckBox(QStringLiteral("Only search for Portfolios in paths like that below"),
                            this)),
      m_path(new QLineEdit(this)),
      m_browse(new QPushButton(QStringLiteral("Browse..."), this)),
      m_autoRepair(new QCheckBox(QStringLiteral("Automatically repair bad Masters"), this)) {
  setWindowTitle(QStringLiteral("Portfolio Search Filter"));
  setModal(true);
  m_limit->setObjectName(QStringLiteral("limit"));
  m_path->setObjectName(QStringLiteral("filterPath"));
  m_autoRepair->setObjectName(QStringLiteral("autoRepair"));
  m_path->setMinimumWidth(m_path->fontMetrics().averageCharWidth() * 48);
  m_path->setEnabled(false);
  m_browse->setEnabled(false);
  m_browse->setAutoDefault(false);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);

  auto* pathRow = new QHBoxLayout;
  pathRow->addWidget(m_path, 1);
  pathRow->addWidget(m_browse);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_limit);
  layout->addLayout(pathRow);
  layout->addWidget(m_autoRepair);
  layout->addSpacing(8);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(m_limit, &QCheckBox::toggled, m_path, &QLineEdit::setEnabled);
  connect(m_limit, &QCheckBox::toggled, m_browse, &QPushButton::setEnabled);
  connect(m_browse, &QPushButton::clicked, this, &CSearchFilterDlg::browse);
  connect(buttons, &QDialogButtonBox::accepted, this, &CSearchFilterDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CSearchFilterDlg::reject);
  setUpDialogKeys(*this,
                  {m_limit, m_path, m_browse, m_autoRepair, buttons->button(QDialogButtonBox::Ok),
                   buttons->button(QDialogButtonBox::Cancel)},
                  QStringLiteral("search-filter"));
}

int CSearchFilterDlg::limit() const { return m_limit->isChecked() ? 1 : 0; }

void CSearchFilterDlg::setLimit(int limit) {
  m_limit->setChecked(limit != 0);
  m_path->setEnabled(limit != 0);
  m_browse->setEnabled(limit != 0);
}

QString CSearchFilterDlg::filterPath() const { return m_path->text(); }

void CSearchFilterDlg::setFilterPath(const QString& path) { m_path->setText(path); }

int CSearchFilterDlg::autoRepair() const { return m_autoRepair->isChecked() ? 1 : 0; }

void CSearchFilterDlg::setAutoRepair(int autoRepair) { m_autoRepair->setChecked(autoRepair != 0); }

void CSearchFilterDlg::setDirectoryChooser(DirectoryChooser chooser) {
  m_chooser = std::move(chooser);
}

bool CSearchFilterDlg::isAcceptable(int limit, const QString& path, const QStringList& roots) {
  return limit == 0 || pathIsOnListedRoot(path, roots);
}

void CSearchFilterDlg::browse() {
  const QString chosen = m_chooser ? m_chooser(this, expandHome(filterPath())) : QString();
  if (!chosen.isEmpty()) setFilterPath(chosen);
}

void CSearchFilterDlg::accept() {
  setFilterPath(expandHome(filterPath()));
  // The settings hold the path whether or not the limit is on: one they can't read back
  // would silently give way to another at the next start.
  if (!CSettingsStore::fitsValue(filterPath())) {
    Prompter::instance().message(this, QStringLiteral("The Search Filter path is too long"),
                                 Prompter::Icon::Warning, Prompter::Buttons::Ok);
    return;
  }
  if (!isAcceptable(limit(), filterPath(), m_roots)) {
    Prompter::instance().message(
        this, QStringLiteral("The Search Filter path refers to an unknown drive"),
        Prompter::Icon::Warning, Prompter::Buttons::Ok);
    return;
  }
  QDialog::accept();
}
