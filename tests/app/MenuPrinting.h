#pragma once

#include "app/StatusMenuModel.h"

#include <ostream>

// Menu items as a failing assertion shows them: kind, title, represented object and tag.
inline void PrintTo(const MenuItemSpec& item, std::ostream* out)
{
    *out << "{kind " << int(item.kind) << ", \"" << item.title.toStdString() << "\", action " << int(item.action)
         << ", " << (item.represented.isValid() ? item.represented.typeName() : "none") << " \"" << item.represented.toString().toStdString() << "\", tag "
         << item.tag << (item.keyEquivalent.isEmpty() ? "" : ", key ") << item.keyEquivalent.toStdString()
         << (item.titleFont ? ", own font" : "") << "}";
}
