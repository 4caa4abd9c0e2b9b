#pragma once

#include <QString>

#include "common/text.h"

// The widget boundary: the only place where Text becomes QString and back. A byte that is
// not GB18030 becomes the lone surrogate U+DC00 + byte and turns back into that byte, so a
// text shown in a widget and read back unchanged keeps every byte.
QString ToQString(const Text& text);
Text FromQString(const QString& text);
