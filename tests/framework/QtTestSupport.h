// Helpers for tests that drive real Qt dialogs.
#pragma once

#include <QString>
#include <ostream>

// Lets test failures show Qt's strings as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
