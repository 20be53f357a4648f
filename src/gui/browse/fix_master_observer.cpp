#include "gui/browse/fix_master_observer.h"

#include "gui/base/path_text.h"
#include "gui/base/prompter.h"
#include "gui/browse/fix_master_dlg.h"

bool CFixMasterObserver::confirm(const std::string& message) {
  CFixMasterDlg dialog(fromPathString(message), CFixMasterDlg::Form::Confirmation, m_parent);
  return Prompter::instance().exec(dialog) == QDialog::Accepted;
}

void CFixMasterObserver::report_dropped(const std::string& message) {
  CFixMasterDlg dialog(fromPathString(message), CFixMasterDlg::Form::Report, m_parent);
  Prompter::instance().exec(dialog);
}

void CFixMasterObserver::beep() { Prompter::instance().beep(); }
