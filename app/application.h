// Application-wide set-up shared by the program and its screenshot tool: the title and a font
// that renders the Chinese captions.
#pragma once

#include <QApplication>

namespace vorthal {

inline constexpr const char* kApplicationTitle = "Vorthal";

void SetUpApplication(QApplication& application);

} // namespace vorthal
