// The fixed texts of the window: its title, the title label, the problem
// statement and the aphorism. Line breaks are CR LF, as the text boxes hold them.
#pragma once

#include <QString>

namespace crossing {

// Caption of Label1(0); the statement's topic line repeats it word for word,
// including the two spaces after the dash.
QString titleLabelText();

// Site address, two spaces, then the window's own title.
QString windowTitleText();

// Text1(0): the story and the assignment, 13 lines, each ended by CR LF.
QString statementText();

// Text1(1): three lines, each ending in a space and CR LF. Never shown.
QString aphorismText();

} // namespace crossing
