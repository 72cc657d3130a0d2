// The description and the rules speak UTF-8 and plain RGB; the widgets hold
// QString and QColor.
#pragma once

#include "form_description.h"

#include <QColor>
#include <QString>

#include <string_view>

namespace crossing {

inline QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

inline QColor toQColor(form::Colour colour) { return {colour.red, colour.green, colour.blue}; }

} // namespace crossing
