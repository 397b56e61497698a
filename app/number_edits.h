// Whole numbers typed into the window's edits. A text that is not one is refused with the
// runtime's wording of a conversion error, and the handler that asked goes no further.
#pragma once

#include <QLineEdit>
#include <QString>

#include <cstdint>
#include <optional>

#include "app/dialogs.h"

namespace vorthal {

// "'1a' is not a valid integer value"
QString ConversionErrorText(const QString& text);

// The number in `edit` (blanks around it allowed), or nothing after the conversion error was shown.
std::optional<std::int64_t> ReadInt64Edit(const QLineEdit& edit, Dialogs& dialogs);
std::optional<std::int32_t> ReadInt32Edit(const QLineEdit& edit, Dialogs& dialogs);

} // namespace vorthal
