// How every dialog meets the keyboard: a title and a close button but no minimise or maximise
// button; focus in the first field of its tab order, with the field's text selected so that
// what is typed at once replaces it; Tab through the fields in reading order, the buttons
// last; and F1 opening the dialog's page of the manual.
#pragma once

#include <QList>
#include <QString>

class QDialog;
class QWidget;

// tabOrder lists the dialog's fields, then its buttons; focus goes to its first enabled entry
// each time the dialog is shown (after the caller has filled the fields). helpTopic names the
// dialog's page of the manual (see showHelp).
void setUpDialogKeys(QDialog& dialog, const QList<QWidget*>& tabOrder, const QString& helpTopic);

// The page of the manual a dialog set up above opens with F1; empty for any other window.
QString dialogHelpTopic(const QWidget& dialog);

// The window flags of a dialog: a title and a close button only.
void setDialogWindowFlags(QWidget& dialog);
