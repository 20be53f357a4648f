// "Portfolio Search Filter": whether a scan only enters paths related to one directory, that
// directory (typed, with "~" for the home directory, or chosen with Browse), and whether
// damaged MASTER files are repaired without asking.
#pragma once

#include <functional>

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLineEdit;
class QPushButton;

class CSearchFilterDlg : public QDialog {
  Q_OBJECT
 public:
  // Asks for a directory, starting at the given one; empty when the user cancels.
  using DirectoryChooser = std::function<QString(QWidget* parent, const QString& start)>;

  // roots: the entries of the view's drive list, which the filter path must lie under.
  explicit CSearchFilterDlg(const QStringList& roots, QWidget* parent = nullptr);

  int limit() const;
  void setLimit(int limit);
  QString filterPath() const;
  void setFilterPath(const QString& path);
  int autoRepair() const;
  void setAutoRepair(int autoRepair);
  // Replaces the directory chooser of Browse (the desktop's own unless replaced, as tests do).
  void setDirectoryChooser(DirectoryChooser chooser);

  QCheckBox* limitBox() const { return m_limit; }
  QLineEdit* pathEdit() const { return m_path; }
  QPushButton* browseButton() const { return m_browse; }
  QCheckBox* autoRepairBox() const { return m_autoRepair; }

  // Whether OK may close the dialog: always with the limit off; with it on, only for a path
  // on one of the roots (an absolute path; on Windows "X:" with an entry "[-x-]").
  static bool isAcceptable(int limit, const QString& path, const QStringList& roots);

  // OK: a leading "~" becomes the home directory; a path too long for the settings says
  // "The Search Filter path is too long" and a path on no listed root says "The Search
  // Filter path refers to an unknown drive", both keeping the dialog open; else it closes.
  void accept() override;

 private:
  void browse();

  QStringList m_roots;
  DirectoryChooser m_chooser;
  QCheckBox* m_limit;
  QLineEdit* m_path;
  QPushButton* m_browse;
  QCheckBox* m_autoRepair;
};
