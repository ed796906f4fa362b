#pragma once

namespace lanshan {

// What the whole process needs before its first window: the resources compiled into the
// program, Qt's own texts in Chinese, the accessibility tree that shows only what is in sight,
// the layout scaled to the system font, and the name by which the desktop knows the program.
// Called once a QApplication exists, by main() and by every program that makes the windows
// (tests, tools); called again, it only scales the layout to the application's font anew.
void setUpApplication();

} // namespace lanshan
