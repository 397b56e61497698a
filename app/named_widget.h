// Creates a widget and gives it its object name: the component name by which handlers, tests and
// the next pieces of the program find it.
#pragma once

#include <QAction>
#include <QMenu>
#include <QString>

#include <utility>

namespace vorthal {

template <typename Widget, typename... Arguments>
Widget* MakeNamed(const char* objectName, Arguments&&... arguments) {
    auto* widget = new Widget(std::forward<Arguments>(arguments)...);
    widget->setObjectName(objectName);
    return widget;
}

// Appends an entry (a QAction) named `objectName` to `menu`.
inline QAction* AddNamedEntry(QMenu* menu, const char* objectName, const QString& caption) {
    QAction* entry = menu->addAction(caption);
    entry->setObjectName(objectName);
    return entry;
}

} // namespace vorthal
