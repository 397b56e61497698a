#include "app/number_edits.h"

#include "app/application.h"
#include "scan/fragment_line.h"

namespace vorthal {
namespace {

template <typename Number>
std::optional<Number> ReadEdit(const QLineEdit& edit, Dialogs& dialogs,
                               std::optional<Number> (*parse)(std::string_view)) {
    const std::string text = edit.text().trimmed().toStdString();
    const std::optional<Number> number = parse(text);
    if (!number)
        dialogs.ShowMessage(kApplicationTitle, ConversionErrorText(edit.text()), MessageIcon::Error);
    return number;
}

} // namespace

QString ConversionErrorText(const QString& text) {
    return QString("'%1' is not a valid integer value").arg(text);
}

std::optional<std::int64_t> ReadInt64Edit(const QLineEdit& edit, Dialogs& dialogs) {
    return ReadEdit<std::int64_t>(edit, dialogs, &ParseInt64Text);
}

std::optional<std::int32_t> ReadInt32Edit(const QLineEdit& edit, Dialogs& dialogs) {
    return ReadEdit<std::int32_t>(edit, dialogs, &ParseInt32Text);
}

} // namespace vorthal
