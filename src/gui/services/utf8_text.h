#pragma once

#include <QString>

#include <string_view>

namespace qf {

// Text of the core (UTF-8, as every core string is) for Qt's widgets.
inline QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace qf
