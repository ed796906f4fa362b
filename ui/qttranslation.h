#pragma once

namespace lanshan {

// Qt's own texts (the buttons of message boxes, the context menu of the boxes) in Simplified
// Chinese, whatever the system's language: the program speaks Chinese throughout. The
// translation is compiled in, so that every platform has it. Loading it twice does nothing.
void loadQtTranslation();

} // namespace lanshan
