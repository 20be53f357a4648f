// The names of the portfolio on show (MASTER, EMASTER and XMASTER texts) as the app shows them
// and as it writes them back: read in the code page of that portfolio's names (View > Name
// Encoding), which the view settles each time it lists a portfolio. One portfolio is on show
// at a time, so there is one page for the whole app.
#pragma once

#include <string>

#include <QString>

#include "qdb/code_page.h"

void setNamesCodePage(qdb::CodePage page);
qdb::CodePage namesCodePage();

// A stored text (its bytes) as shown.
QString masterText(const std::string& bytes);
// A text as shown (or typed) as its bytes in the page. A text read with masterText always
// comes back as the same bytes; a typed one the page can't hold is checked first with
// unwritableName.
std::string masterBytes(const QString& text);
// The refusal of a typed text the page can't hold, naming the character; empty when it can.
QString unwritableName(const QString& text);
